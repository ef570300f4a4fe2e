// The size estimate: over every path, weighted by its chance, the probes give
// the exact size of the tree, and the mean of many comes near the count.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "console.h"
#include "search/estimation.h"
#include "search/unites.h"

namespace {

using namespace egypte;

// The tape types the same problem at the dialogue, whose count is the exact count.
struct Cas { long P, Q; int n, type, parite; std::string tape; };

const Cas CAS[] = {
    {1, 1, 6, 2, 0, "1 1 1 2 0 0 0 6 7 -1000000"},  // 1 as 6 distinct unit fractions
    {1, 1, 6, 1, 0, "1 1 1 1 0 0 0 6 7 -1000000"},  // equal ones allowed
    {2, 3, 6, 2, 1, "2 3 1 2 1 0 0 6 7 -1000000"},  // odd unknowns
    {1, 2, 6, 2, 2, "1 2 1 2 2 0 0 6 7 -1000000"},  // even unknowns
};

// The problem P/Q of length n set up in s; poserLongueur's answer.
Recherche::Longueur poser(Recherche& s, long P, long Q, int n, int type, int parite)
{
    Probleme pb;
    pb.P1 = P, pb.Q1 = Q, pb.type = type, pb.parite = parite, pb.longueur = n;
    Recherche::Fin f;
    EXPECT_TRUE(s.poser(pb, f));
    return poserLongueur(s, n, f);
}

// Expansions and nodes as a probe counts them, from every node above depth d.
std::pair<double, double> toutCompter(const Recherche& c, const Noeud& noeud, int d)
{
    std::int64_t pas = 0;
    if (d == 0) return {static_cast<double>(compterSousArbre(c, noeud, pas)), static_cast<double>(pas)};
    std::size_t trouves = 0;
    std::pair<double, double> r{0, 1};
    for (const Noeud& e : enfants(c, noeud, trouves)) {
        const auto [dev, noeuds] = toutCompter(c, e, d - 1);
        r.first += dev, r.second += noeuds;
    }
    r.first += static_cast<double>(trouves);
    return r;
}

TEST(Estimation, ProbesAreUnbiasedAndTheirMeanComesNearTheCount)
{
    for (const Cas& k : CAS) {
        SCOPED_TRACE(k.tape);
        const double exact = static_cast<double>(essai::calculer(k.tape, essai::Reglages{}).compte);
        Recherche s;
        ASSERT_EQ(poser(s, k.P, k.Q, k.n, k.type, k.parite), Recherche::Longueur::aParcourir);
        for (int profondeur : {1, k.n - 3}) {
            // Every sequence of choices in turn, like an odometer.
            std::vector<std::size_t> choix, nombres;
            double dev = 0, noeuds = 0, chances = 0, chemins = 0;
            do {
                std::size_t niveau = 0;
                double poids = 1;
                nombres.clear();
                const Sondage p = sonder(s, profondeur, [&](std::size_t nb) {
                    if (niveau == choix.size()) choix.push_back(0);
                    nombres.push_back(nb);
                    poids *= static_cast<double>(nb);
                    return choix[niveau++];
                });
                choix.resize(niveau);
                dev += p.developpements / poids, noeuds += p.noeuds / poids, chances += 1 / poids, chemins++;
                while (!choix.empty() && choix.back() + 1 == nombres[choix.size() - 1]) choix.pop_back();
                if (!choix.empty()) choix.back()++;
            } while (!choix.empty());
            Noeud racine;
            racine.prendre(s);
            const auto [devExact, noeudsExact] = toutCompter(s, racine, profondeur);
            EXPECT_TRUE(chemins > 1 && std::abs(chances - 1) < 1e-9) << chemins << " " << chances;
            EXPECT_NEAR(dev, exact, 1e-9 * exact) << "D = " << profondeur;
            EXPECT_EQ(devExact, exact) << "D = " << profondeur;
            EXPECT_NEAR(noeuds, noeudsExact, 1e-9 * noeudsExact) << "D = " << profondeur;
        }
        // Random probes with a fixed seed, in a single stratum at the root
        // (Knuth's plain estimator) and in the strata.
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

// The problem P/Q of length n, and its exact count by the search itself.
double compte(const Cas& k)
{
    return static_cast<double>(essai::calculer(k.tape, essai::Reglages{}).compte);
}

TEST(Estimation, StrataAddUpToTheCountWhenEveryNodeIsWalked)
{
    // A budget of probes far above the nodes to stratify: every node is
    // drawn, so every stratum is known and the estimate is the count, with
    // no error; the strata share exactly the nodes of their depth.
    for (const Cas& k : CAS) {
        SCOPED_TRACE(k.tape);
        Recherche s;
        ASSERT_EQ(poser(s, k.P, k.Q, k.n, k.type, k.parite), Recherche::Longueur::aParcourir);
        ReglagesEstimation r;
        r.sondes = 200000, r.graine = 7, r.strates = 16;
        const Estimation e = estimer(s, k.n, r);
        EXPECT_EQ(e.profondeurStrates, k.n - 3);
        EXPECT_EQ(e.noeudsStrates, compterUnites(s, k.n - 3, 1L << 30));
        EXPECT_TRUE(e.strates > 1 && e.strates <= e.noeudsStrates) << e.strates;
        EXPECT_EQ(e.developpements, compte(k));
        EXPECT_EQ(e.ecartDeveloppements, 0);
        // Strata above the depth of the exact subtrees: the levels above them
        // walked exactly, and the probes below unbiased.
        r.noeuds = e.noeudsStrates - 1, r.sondes = 5000;
        const Estimation f = estimer(s, k.n, r);
        EXPECT_EQ(f.profondeurStrates, k.n - 4);
        EXPECT_EQ(f.noeudsStrates, compterUnites(s, k.n - 4, 1L << 30));
        EXPECT_LE(std::abs(f.developpements - compte(k)), 4 * f.ecartDeveloppements) << f.developpements;
    }
}

TEST(Estimation, StratifiedEstimatesAreUnbiasedAndTheirErrorBarsHonest)
{
    // 1 as 7 distinct unit fractions (245765 expansions, and the search's own
    // count) with too few probes to walk every node: over many seeds the mean
    // of the estimates comes within a few standard errors of the count, the
    // error each claims is about the spread they show, and two of them hold
    // the count most of the time.
#ifdef EGYPTE_SOUS_SANITISEURS
    const Cas k{1, 1, 6, 2, 0, "1 1 1 2 0 0 0 6 7 -1000000"};
    const int graines = 12;
    const long sondes = 150;
#else
    const Cas k{1, 1, 7, 2, 0, "1 1 1 2 0 0 0 7 8 -1000000"};
    const int graines = 40;
    const long sondes = 600;
#endif
    const double exact = compte(k);
    double somme = 0, carres = 0, erreurs = 0;
    int dedans = 0;
    for (int g = 1; g <= graines; g++) {
        Recherche s;
        ASSERT_EQ(poser(s, k.P, k.Q, k.n, k.type, k.parite), Recherche::Longueur::aParcourir);
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

TEST(Estimation, LengthsSettledWithoutAWalk)
{
    // 1 as 8 odd unit fractions is ruled out by parity; 25/12 = 1 + 1/2 + 1/3
    // + 1/4 is the largest sum of 4 distinct unit fractions.
    Recherche a, b;
    EXPECT_EQ(poser(a, 1, 1, 8, 2, 1), Recherche::Longueur::aParcourir);
    EXPECT_EQ(a.i, -1);
    EXPECT_EQ(poser(b, 25, 12, 4, 2, 0), Recherche::Longueur::seule);
    const Estimation ea = estimer(a, 8, ReglagesEstimation{}), eb = estimer(b, 4, ReglagesEstimation{});
    EXPECT_TRUE(ea.genre == Estimation::Genre::nulle && ea.developpements == 0 && ea.sondes == 0);
    EXPECT_TRUE(eb.genre == Estimation::Genre::seule && eb.developpements == 1 && eb.sondes == 0);
}

}  // namespace
