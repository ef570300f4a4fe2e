// The size estimate: over every path, weighted by its chance, the probes give
// the exact size of the tree, and the mean of many comes near the count.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "harnais.h"
#include "estimation/estimation.h"
#include "unites/unites.h"

namespace {

using namespace egypte;

// The tape types the same problem at the dialogue, whose count is the exact count.
struct Cas { long P, Q; int n, type, parite; long minx, M; std::string tape; };

const Cas CAS[] = {
    {1, 1, 6, 2, 0, 0, 0, "1 1 1 2 0 0 0 6 7 -1000000"},       // 1 as 6 distinct unit fractions
    {1, 1, 6, 1, 0, 0, 0, "1 1 1 1 0 0 0 6 7 -1000000"},       // equal ones allowed
    {2, 3, 6, 2, 1, 0, 0, "2 3 1 2 1 0 0 6 7 -1000000"},       // odd unknowns
    {1, 2, 6, 2, 2, 0, 0, "1 2 1 2 2 0 0 6 7 -1000000"},       // even unknowns
    {1, 1, 6, 2, 0, 3, 900, "1 1 1 2 0 3 900 6 7 -1000000"},   // a minimum for x1, a maximum for xn
    {1, 1, 6, 1, 0, 2, 0, "1 1 1 1 0 2 0 6 7 -1000000"},       // equal ones from 2 on
};

// The problem P/Q of length n set up in s; poserLongueur's answer.
Recherche::Longueur poser(Recherche& s, const Cas& k)
{
    Probleme pb;
    pb.numerateur = k.P, pb.denominateur = k.Q, pb.inconnues = static_cast<Inconnues>(k.type), pb.parite = static_cast<Parite>(k.parite), pb.longueur = k.n;
    pb.minimumX1 = k.minx, pb.maximumXn = k.M;
    Recherche::Issue f;
    EXPECT_TRUE(s.poser(pb, f));
    return poserLongueur(s, k.n, f);
}

// The exact count, by the dialogue's search.
double compte(const Cas& k)
{
    return static_cast<double>(essai::calculer(k.tape, essai::Reglages{}).compte);
}

// Every sequence of draws in turn, like an odometer, each path with its chance.
class Odometre : public Tirage {
public:
    std::size_t partie(const std::vector<double>& poids) override
    {
        double somme = 0;
        for (double p : poids) somme += p;
        const std::size_t c = suivant(poids.size());
        chance *= poids[c] / somme;
        return c;
    }
    NTL::ZZ nombre(const NTL::ZZ& k) override
    {
        chance /= NTL::conv<double>(k);
        return NTL::ZZ(suivant(NTL::conv<long>(k)));
    }
    // The next path; false after the last.
    bool avancer()
    {
        choix_.resize(niveau_);
        while (!choix_.empty() && choix_.back() + 1 == nombres_[choix_.size() - 1]) choix_.pop_back();
        if (!choix_.empty()) choix_.back()++;
        niveau_ = 0, chance = 1;
        return !choix_.empty();
    }
    double chance = 1;

private:
    std::size_t suivant(std::size_t nombre)
    {
        if (niveau_ == choix_.size()) choix_.push_back(0);
        nombres_.resize(niveau_ + 1);
        nombres_[niveau_] = nombre;
        return choix_[niveau_++];
    }
    std::vector<std::size_t> choix_, nombres_;
    std::size_t niveau_ = 0;
};

TEST(Estimation, LesSondagesPonderesParLeurChanceFontLeCompte)
{
    for (const Cas& k : CAS) {
        SCOPED_TRACE(k.tape);
        const double exact = compte(k);
        ASSERT_GT(exact, 0);
        Recherche s;
        ASSERT_EQ(poser(s, k), Recherche::Longueur::aParcourir);
        // Blocks of one value and of three, and the whole subtrees of depth
        // n - 3 mostly: over every path, the probes weighted by their chance
        // add up to the count, each block counting its own values only.
        for (long bloc : {1L, 3L, BLOC}) {
            Odometre o;
            double dev = 0, chances = 0, chemins = 0, plusGrand = 0;
            do {
                const Sondage p = sonder(s, o, bloc);
                ASSERT_FALSE(p.coupe);
                ASSERT_LE(p.valeurs, bloc);
                dev += o.chance * p.developpements, chances += o.chance, chemins++;
                plusGrand = std::max(plusGrand, p.poids);
            } while (o.avancer());
            EXPECT_TRUE(chemins > 1 && std::abs(chances - 1) < 1e-9) << chemins << " " << chances;
            EXPECT_NEAR(dev, exact, 1e-9 * exact) << "bloc " << bloc;
            EXPECT_GT(plusGrand, 1) << "bloc " << bloc;
        }
        // Random probes with a fixed seed, in a single stratum at the root
        // (Knuth's estimator) and in the strata.
        for (long noeuds : {1L, 0L}) {
            ReglagesEstimation r;
            r.sondes = 20000, r.graine = 20240611, r.noeuds = noeuds;
            const Estimation e = estimer(s, k.n, r);
            ASSERT_EQ(e.genre, Estimation::Genre::sondee);
            EXPECT_TRUE(e.sondes >= (noeuds == 1 ? 20000 : 1) && e.profondeur == k.n - 3 && e.secondes > 0) << e.sondes;
            EXPECT_EQ(e.strates == 1, noeuds == 1) << e.strates;
            EXPECT_LT(e.relatif(), 0.1);
            EXPECT_LE(std::abs(e.developpements - exact), 4 * e.ecartDeveloppements + 1e-9 * exact) << e.developpements;
        }
    }
}

// The draws of the heaviest path: the smallest value at each level, the
// lowest block of x[n-2].
class AuPlusLourd : public Tirage {
public:
    std::size_t partie(const std::vector<double>&) override { return 0; }
    NTL::ZZ nombre(const NTL::ZZ&) override { return NTL::ZZ(0); }
};

TEST(Estimation, UnSondageParcourtAuPlusUnBlocQuelQueSoitLArbre)
{
    // 1 as 9 distinct unit fractions down 2, 3, 7, 43, 1807, 3263443: x7 then
    // runs through some 2e13 values, a walk of years; the probe walks one
    // block of them, the lowest, where x8 and x9 are largest.
    Cas k{1, 1, 9, 2, 0, 0, 0, ""};
    Recherche s;
    ASSERT_EQ(poser(s, k), Recherche::Longueur::aParcourir);
    AuPlusLourd t;
    for (long bloc : {1L, BLOC}) {
        const Sondage p = sonder(s, t, bloc);
        ASSERT_FALSE(p.coupe);
        EXPECT_TRUE(p.valeurs >= 1 && p.valeurs <= bloc) << p.valeurs;
        // Its steps are those of a block, a few per value of x7.
        EXPECT_TRUE(p.pas >= 1 && p.pas <= 8 * bloc) << p.pas;
        // The lowest values of x7 hold expansions (the greedy one first).
        EXPECT_GT(p.developpements, 0);
    }
}

TEST(Estimation, LesStratesFontLeCompteQuandChaqueNoeudEstParcouru)
{
    // A budget of probes far above the nodes to stratify: every node is
    // drawn, so every stratum is known and the estimate is the count, with
    // no error; the strata share exactly the nodes of their depth.
    for (const Cas& k : CAS) {
        SCOPED_TRACE(k.tape);
        Recherche s;
        ASSERT_EQ(poser(s, k), Recherche::Longueur::aParcourir);
        ReglagesEstimation r;
        r.sondes = 200000, r.graine = 7, r.strates = 16, r.bloc = 1L << 30;
        const Estimation e = estimer(s, k.n, r);
        EXPECT_EQ(e.profondeurStrates, k.n - 3);
        EXPECT_EQ(e.noeudsStrates, compterUnites(s, k.n - 3, 1L << 30));
        EXPECT_TRUE(e.strates > 1 && e.strates <= e.noeudsStrates) << e.strates;
        EXPECT_EQ(e.developpements, compte(k));
        EXPECT_EQ(e.ecartDeveloppements, 0);
        // Strata above the depth of the exact subtrees: the levels above them
        // walked exactly, and the probes below unbiased.
        r.noeuds = e.noeudsStrates - 1, r.sondes = 5000, r.bloc = 2;
        const Estimation f = estimer(s, k.n, r);
        EXPECT_EQ(f.profondeurStrates, k.n - 4);
        EXPECT_EQ(f.noeudsStrates, compterUnites(s, k.n - 4, 1L << 30));
        EXPECT_LE(std::abs(f.developpements - compte(k)), 4 * f.ecartDeveloppements) << f.developpements << " " << f.strates << " " << f.noeudsStrates << " " << f.sondes << " " << f.developpementsExacts;
    }
}

TEST(Estimation, LesEstimationsStratifieesSontSansBiaisEtLeursErreursHonnetes)
{
    // 1 as 7 distinct unit fractions (245765 expansions, and the search's own
    // count) with too few probes to walk every node: over many seeds the mean
    // of the estimates comes within a few standard errors of the count, the
    // error each claims is about the spread they show, and two of them hold
    // the count most of the time.
#ifdef EGYPTE_SOUS_SANITISEURS
    const Cas k{1, 1, 6, 2, 0, 0, 0, "1 1 1 2 0 0 0 6 7 -1000000"};
    const int graines = 12;
    const long sondes = 150;
#else
    const Cas k{1, 1, 7, 2, 0, 0, 0, "1 1 1 2 0 0 0 7 8 -1000000"};
    const int graines = 40;
    const long sondes = 600;
#endif
    const double exact = compte(k);
    double somme = 0, carres = 0, erreurs = 0;
    int dedans = 0;
    for (int g = 1; g <= graines; g++) {
        Recherche s;
        ASSERT_EQ(poser(s, k), Recherche::Longueur::aParcourir);
        ReglagesEstimation r;
        r.sondes = sondes, r.graine = static_cast<std::uint64_t>(g), r.strates = 32;
        const Estimation e = estimer(s, k.n, r);
        ASSERT_EQ(e.genre, Estimation::Genre::sondee);
        ASSERT_GT(e.ecartDeveloppements, 0);  // not every node walked: an error to claim
        somme += e.developpements, carres += e.developpements * e.developpements;
        erreurs += e.ecartDeveloppements;
        dedans += std::abs(e.developpements - exact) <= 2 * e.ecartDeveloppements;
    }
    const double nb = graines, moyenne = somme / nb;
    const double ecart = std::sqrt((carres - nb * moyenne * moyenne) / (nb - 1));
    EXPECT_GT(ecart, 0);
    EXPECT_LE(std::abs(moyenne - exact), 3.5 * ecart / std::sqrt(nb)) << moyenne << " " << ecart;
    EXPECT_TRUE(erreurs / nb > 0.4 * ecart && erreurs / nb < 2.5 * ecart) << erreurs / nb << " " << ecart;
    EXPECT_GE(dedans, static_cast<int>(0.75 * nb)) << dedans;
}

TEST(Estimation, LesLongueursTrancheesSansParcours)
{
    // 1 as 8 odd unit fractions is ruled out by parity; 25/12 = 1 + 1/2 + 1/3
    // + 1/4 is the largest sum of 4 distinct unit fractions.
    Recherche a, b;
    EXPECT_EQ(poser(a, Cas{1, 1, 8, 2, 1, 0, 0, ""}), Recherche::Longueur::aParcourir);
    EXPECT_EQ(a.marche.i, -1);
    EXPECT_EQ(poser(b, Cas{25, 12, 4, 2, 0, 0, 0, ""}), Recherche::Longueur::seule);
    const Estimation ea = estimer(a, 8, ReglagesEstimation{}), eb = estimer(b, 4, ReglagesEstimation{});
    EXPECT_TRUE(ea.genre == Estimation::Genre::nulle && ea.developpements == 0 && ea.sondes == 0);
    EXPECT_TRUE(eb.genre == Estimation::Genre::seule && eb.developpements == 1 && eb.sondes == 0);
    // A beginning that leaves fewer than four unknowns: the count itself, of
    // the whole length (1 as 7 from 1/2 + 1/3 + 1/7 + 1/43: 11040).
    for (const long reste : {1, 2, 3}) {
        Probleme p;
        p.debut = {NTL::ZZ(2), NTL::ZZ(3), NTL::ZZ(7), NTL::ZZ(43)};
        p.longueur = 4 + reste;
        Demande d;
        d.montrer = Montrer::compter;
        DemandeEstimation de;
        de.longueur = 4 + static_cast<int>(reste);
        const Estimation e = estimer(p, de);
        EXPECT_EQ(e.genre, Estimation::Genre::courte);
        EXPECT_EQ(e.n, 4 + reste);
        EXPECT_EQ(e.developpements, static_cast<double>(chercher(p, d).solutions)) << reste;
        if (reste == 3) {
            EXPECT_EQ(e.developpements, 11040);
        }
    }
}

}  // namespace
