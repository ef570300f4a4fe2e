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
        // Random probes, with a fixed seed.
        const Estimation e = estimer(s, k.n, ReglagesEstimation{5, 20000, 20240611, 0});
        ASSERT_EQ(e.genre, Estimation::Genre::sondee);
        EXPECT_TRUE(e.sondes == 20000 && e.profondeur == k.n - 3 && e.secondes > 0);
        EXPECT_TRUE(e.relatif() > 0 && e.relatif() < 0.1) << e.relatif();
        EXPECT_LT(std::abs(e.developpements - exact), 4 * e.ecartDeveloppements) << e.developpements;
    }
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
