// The best expansion against the whole listing ordered by the rule, facts
// checked by hand, and a search stopped by its own stop, which claims no best.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "egypte/meilleur.h"
#include "harnais.h"

namespace {

using egypte::Approche;
using egypte::Probleme;
using Vecteur = std::vector<NTL::ZZ>;

const Approche APPROCHES[] = {Approche::resserrer, Approche::dichotomie, Approche::montee};

// The rule written apart from the library's: the largest denominators
// compared first, so the reversed vectors in lexicographic order.
bool regle(const Vecteur& a, const Vecteur& b)
{
    return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

// What the whole listing says of the best: its length and the expansions
// sorted by the rule.
struct Reference {
    egypte::Resultat resultat;
    std::vector<Vecteur> triee;
};

// The whole listing, stopped after a second: a draw whose listing is that
// long is passed over (its result is not complete).
Reference reference(const Probleme& p)
{
    std::atomic<bool> arret{false}, fini{false};
    std::thread minuteur([&] {
        for (int k = 0; k < 100 && !fini; k++) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        arret = true;
    });
    egypte::Demande d;
    d.fils = 1;
    d.arret = &arret;
    essai::Liste tout;
    Reference r;
    r.resultat = egypte::chercher(p, d, &tout);
    fini = true;
    minuteur.join();
    // The maximum for xn applied here too: the walk lets through a window
    // of distinct values that ends just past it (see BorneDepasseeParLaMarche).
    for (const auto& v : tout.x)
        if (NTL::IsZero(p.maximumXn) || v.back() <= p.maximumXn) r.triee.push_back(v);
    std::sort(r.triee.begin(), r.triee.end(), regle);
    return r;
}

// Empty when `m` is the best the listing gives, or else what is wrong.
std::string ecart(const Reference& ref, const egypte::ResultatMeilleur& m)
{
    if (!m.complet() || !m.prouve) return "la recherche n'est pas allee au bout";
    if (!ref.resultat.complet()) return "la liste n'est pas allee au bout";
    if (ref.triee.empty()) {
        // A length whose expansions all pass the maximum is not the minimal
        // one; the listing does not go beyond it.
        if (ref.resultat.solutions > 0 && ref.resultat.longueur > 0) return "";
        return m.x.empty() ? "" : "un developpement la ou il n'y en a aucun";
    }
    if (m.longueur != ref.resultat.longueur) return "longueur " + std::to_string(m.longueur);
    if (m.x != ref.triee.front()) return "pas le meilleur";
    return "";
}

// Whether the expansion x sums to P/Q exactly.
bool sommeJuste(const Vecteur& x, const NTL::ZZ& P, const NTL::ZZ& Q)
{
    NTL::ZZ N(0), D(1);
    for (const auto& v : x) N = N * v + D, D *= v;
    return N * Q == D * P;
}

// A problem drawn at random whose whole listing takes milliseconds.
Probleme tirer(std::mt19937& g)
{
    auto entre = [&g](long a, long b) { return std::uniform_int_distribution<long>(a, b)(g); };
    Probleme p;
    p.denominateur = entre(2, 40);
    p.numerateur = entre(1, NTL::conv<long>(p.denominateur) * 3 / 2);
    p.inconnues = entre(0, 1) ? egypte::Inconnues::repetees : egypte::Inconnues::distinctes;
    p.parite = static_cast<egypte::Parite>(entre(0, 5) < 3 ? 0 : entre(1, 2));
    if (entre(0, 3) == 0) p.minimumX1 = entre(1, 6);
    if (entre(0, 2) == 0) p.maximumXn = p.minimumX1 + entre(1, 600);
    if (entre(0, 3) == 0) p.longueur = entre(2, 4);
    p.sansUn = entre(0, 3) == 0;
    // A beginning, one of the values the listing met, now and then.
    if (entre(0, 5) == 0 && (p.longueur == 0 || p.longueur > 2)) {
        const Reference r = reference(p);
        if (!r.triee.empty() && r.triee.front().size() > 2) p.debut = {r.triee[r.triee.size() / 2].front()};
    }
    return p;
}

TEST(Meilleur, ContreLaListeComplete)
{
    std::mt19937 g(20240611);
    int avecEgalites = 0, avecDeveloppement = 0, tropLongues = 0;
    for (int k = 0; k < 400; k++) {
        const Probleme p = tirer(g);
        const Reference ref = reference(p);
        if (!ref.resultat.complet()) {
            tropLongues++;
            continue;
        }
        if (!ref.triee.empty()) avecDeveloppement++;
        if (ref.triee.size() > 1 && ref.triee[0].back() == ref.triee[1].back()) avecEgalites++;
        for (const Approche a : APPROCHES) {
            egypte::Demande d;
            d.fils = 1 + k % 2;
            const egypte::ResultatMeilleur m = egypte::meilleur(p, d, a);
            EXPECT_EQ(ecart(ref, m), "") << "tirage " << k << " par " << egypte::nomApproche(a);
            EXPECT_EQ(m.P, ref.resultat.P);
            EXPECT_EQ(m.Q, ref.resultat.Q);
        }
    }
    // The draws must meet both problems with no expansion and ties on xn,
    // or the table would not test the rule.
    EXPECT_LT(tropLongues, 20);
    EXPECT_GT(avecDeveloppement, 200);
    EXPECT_LT(avecDeveloppement, 400);
    EXPECT_GT(avecEgalites, 10);
}

TEST(Meilleur, FaitsVerifiesALaMain)
{
    // 2/3 = 1/2 + 1/6 (1/3 + 1/3 once
    // repeated); 4/5: 2 5 10 beats 2 4 20; 5/121: 33 121 363 beats the
    // greedy 25 757 763309 873960180913 and every other of length 3; 732/733
    // needs 7 terms, the best of its 2767 expansions ends 26388.
    struct Cas {
        long P, Q;
        bool repetees;
        Vecteur attendu;
    };
    const Cas cas[] = {
        {2, 3, false, {NTL::ZZ(2), NTL::ZZ(6)}},
        {2, 3, true, {NTL::ZZ(3), NTL::ZZ(3)}},
        {4, 5, false, {NTL::ZZ(2), NTL::ZZ(5), NTL::ZZ(10)}},
        {5, 121, false, {NTL::ZZ(33), NTL::ZZ(121), NTL::ZZ(363)}},
        {3, 1, true, {NTL::ZZ(1), NTL::ZZ(1), NTL::ZZ(1)}},
        {732, 733, false,
         {NTL::ZZ(2), NTL::ZZ(3), NTL::ZZ(7), NTL::ZZ(45), NTL::ZZ(7330), NTL::ZZ(20524), NTL::ZZ(26388)}},
    };
    for (const Cas& c : cas) {
        Probleme p;
        p.numerateur = c.P;
        p.denominateur = c.Q;
        if (c.repetees) p.inconnues = egypte::Inconnues::repetees;
        EXPECT_TRUE(sommeJuste(c.attendu, p.numerateur, p.denominateur));
        for (const Approche a : APPROCHES) {
            const egypte::ResultatMeilleur m = egypte::meilleur(p, egypte::Demande{}, a);
            EXPECT_EQ(m.x, c.attendu) << c.P << "/" << c.Q << " par " << egypte::nomApproche(a);
            EXPECT_TRUE(m.prouve);
        }
    }
}

TEST(Meilleur, LaRegleDeLaBibliotheque)
{
    // From xn down: 3 4 20 is better than 2 5 20; two lengths are refused.
    const Vecteur a = {NTL::ZZ(3), NTL::ZZ(4), NTL::ZZ(20)}, b = {NTL::ZZ(2), NTL::ZZ(5), NTL::ZZ(20)};
    EXPECT_TRUE(egypte::meilleurQue(a, b));
    EXPECT_FALSE(egypte::meilleurQue(b, a));
    EXPECT_FALSE(egypte::meilleurQue(a, a));
    EXPECT_THROW(egypte::meilleurQue(a, {NTL::ZZ(2)}), std::invalid_argument);
}

TEST(Meilleur, BorneDepasseeParLaMarche)
{
    // P/Q the sum of the n consecutive values that end at M + 1: the walk
    // hands that window over under xn <= M; the best passes it over, and
    // finds none (every set of distinct values up to M tried by hand), nor
    // does a count in 3 terms; under M + 1 the window is the best and only.
    struct Cas {
        long P, Q, M;
        Vecteur attendu;  // empty: none
    };
    const Cas cas[] = {
        {37, 60, 5, {}},
        {47, 60, 4, {}},
        {107, 210, 6, {}},
        {37, 60, 6, {NTL::ZZ(4), NTL::ZZ(5), NTL::ZZ(6)}},
        {107, 210, 7, {NTL::ZZ(5), NTL::ZZ(6), NTL::ZZ(7)}},
    };
    for (const Cas& c : cas) {
        Probleme p;
        p.numerateur = c.P;
        p.denominateur = c.Q;
        p.maximumXn = c.M;
        for (const Approche a : APPROCHES) {
            const egypte::ResultatMeilleur m = egypte::meilleur(p, egypte::Demande{}, a);
            EXPECT_TRUE(m.prouve);
            EXPECT_EQ(m.x, c.attendu) << c.P << "/" << c.Q;
        }
        p.longueur = 3;
        for (const bool reference : {false, true}) {
            egypte::Demande d;
            d.montrer = egypte::Montrer::compter;
            d.marcheDeReference = reference;
            EXPECT_EQ(egypte::chercher(p, d).solutions, c.attendu.empty() ? 0 : 1) << c.P << "/" << c.Q;
        }
    }
}

TEST(Meilleur, ArreteeSansPretendre)
{
    // Set before: nothing searched. Set during the best of 27538/27539
    // (8 terms; more than a minute): stopped, and what it holds, if
    // anything, is an expansion of it that is not claimed best.
    for (const Approche a : APPROCHES) {
        Probleme p;
        p.numerateur = 27538;
        p.denominateur = 27539;
        std::atomic<bool> arret{true};
        egypte::Demande d;
        d.arret = &arret;
        const egypte::ResultatMeilleur avant = egypte::meilleur(p, d, a);
        EXPECT_EQ(avant.fin, egypte::Fin::interrompue);
        EXPECT_FALSE(avant.prouve);

        arret = false;
        d.fils = 2;
        std::thread arreter([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            arret = true;
        });
        const auto t0 = std::chrono::steady_clock::now();
        const egypte::ResultatMeilleur pendant = egypte::meilleur(p, d, a);
        arreter.join();
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(30));
        EXPECT_EQ(pendant.fin, egypte::Fin::interrompue);
        EXPECT_FALSE(pendant.prouve);
        if (!pendant.x.empty()) {
            EXPECT_EQ(pendant.x.size(), 8u);
            EXPECT_TRUE(sommeJuste(pendant.x, p.numerateur, p.denominateur));
        }
    }
    egypte::Demande avecJournal;
    avecJournal.journal = "meilleur.journal";
    EXPECT_THROW(egypte::meilleur(Probleme{}, avecJournal), egypte::Erreur);
}

}  // namespace
