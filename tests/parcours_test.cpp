// The walks: every expansion exactly once, in decreasing lexicographic order,
// checked against hand-worked lists and against published counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "console.h"
#include "search/etat.h"

using essai::Developpement;
using essai::parcourir;
using essai::Probleme;
using Liste = std::vector<Developpement>;

namespace {

Probleme pb(long p, long q, int n, int type, int parite = 0, long minx = 1, long M = 0)
{
    Probleme r;
    r.P = p;
    r.Q = q;
    r.n = n;
    r.type = type;
    r.parite = parite;
    r.minx = minx;
    r.M = M;
    return r;
}

TEST(ListesALaMain, UnDemiEnTroisTermes)
{
    EXPECT_EQ(parcourir(pb(1, 2, 3, 1)), (Liste{{6, 6, 6}, {5, 5, 10}, {4, 8, 8}, {4, 6, 12}, {4, 5, 20},
                                              {3, 12, 12}, {3, 10, 15}, {3, 9, 18}, {3, 8, 24}, {3, 7, 42}}));
    EXPECT_EQ(parcourir(pb(1, 2, 3, 2)),
              (Liste{{4, 6, 12}, {4, 5, 20}, {3, 10, 15}, {3, 9, 18}, {3, 8, 24}, {3, 7, 42}}));
    EXPECT_EQ(parcourir(pb(1, 2, 3, 1, 2, 2)), (Liste{{6, 6, 6}, {4, 8, 8}, {4, 6, 12}}));
    EXPECT_EQ(parcourir(pb(1, 2, 3, 1, 0, 1, 10)), (Liste{{6, 6, 6}, {5, 5, 10}, {4, 8, 8}}));
    EXPECT_EQ(parcourir(pb(1, 2, 3, 1, 0, 4)),
              (Liste{{6, 6, 6}, {5, 5, 10}, {4, 8, 8}, {4, 6, 12}, {4, 5, 20}}));
}

TEST(ListesALaMain, TroisQuarts)
{
    EXPECT_EQ(parcourir(pb(3, 4, 3, 2)), (Liste{{3, 4, 6}, {2, 6, 12}, {2, 5, 20}}));
    EXPECT_EQ(parcourir(pb(3, 4, 3, 1)),
              (Liste{{4, 4, 4}, {3, 4, 6}, {3, 3, 12}, {2, 8, 8}, {2, 6, 12}, {2, 5, 20}}));
}

TEST(ListesALaMain, PetitesLongueurs)
{
    EXPECT_EQ(parcourir(pb(1, 3, 1, 2)), (Liste{{3}}));
    EXPECT_EQ(parcourir(pb(1, 3, 1, 1)), (Liste{{3}}));
    EXPECT_TRUE(parcourir(pb(2, 3, 1, 2)).empty());
    EXPECT_EQ(parcourir(pb(1, 2, 2, 1)), (Liste{{4, 4}, {3, 6}}));
    EXPECT_EQ(parcourir(pb(1, 2, 2, 2)), (Liste{{3, 6}}));
    EXPECT_EQ(parcourir(pb(1, 1, 3, 2)), (Liste{{2, 3, 6}}));
    EXPECT_TRUE(parcourir(pb(2, 1, 4, 2, 1)).empty());
}

TEST(ListesALaMain, AvecBornes)
{
    const Liste l = parcourir(pb(4, 5, 5, 1, 0, 1, 30));
    ASSERT_EQ(l.size(), 58u);
    EXPECT_EQ(l.front(), (Developpement{5, 6, 6, 6, 10}));
    Liste avec33;
    for (const auto& d : l)
        if (d[0] == 3 && d[1] == 3) avec33.push_back(d);
    EXPECT_EQ(avec33, (Liste{{3, 3, 20, 24, 24}, {3, 3, 20, 21, 28}, {3, 3, 20, 20, 30}, {3, 3, 15, 30, 30}}));

    const Liste m = parcourir(pb(3, 4, 5, 1, 0, 3, 30));
    ASSERT_EQ(m.size(), 64u);
    EXPECT_EQ(m.front(), (Developpement{6, 6, 6, 8, 8}));
    for (const auto& d : m) EXPECT_GE(d[0], 3);
}

// Every list is strictly decreasing in lexicographic order and made of valid
// expansions: this is checked on all the lists below.
void verifier(const Liste& l, const Probleme& p)
{
    for (std::size_t k = 0; k < l.size(); k++) {
        const auto& d = l[k];
        ASSERT_EQ(d.size(), static_cast<std::size_t>(p.n));
        NTL::ZZ num(0), den(1);
        for (std::size_t u = 0; u < d.size(); u++) {
            if (u > 0 && p.type == 2) {
                EXPECT_LT(d[u - 1], d[u]);
            } else if (u > 0) {
                EXPECT_LE(d[u - 1], d[u]);
            }
            EXPECT_GE(d[u], p.minx);
            if (p.M) {
                EXPECT_LE(d[u], p.M);
            }
            if (p.parite) {
                EXPECT_EQ(d[u] % 2, p.parite == 1 ? 1 : 0);
            }
            num = num * d[u] + den;
            den *= d[u];
        }
        EXPECT_EQ(num * p.Q, den * p.P);
        if (k > 0) {
            EXPECT_GT(l[k - 1], d);
        }
    }
}

TEST(ComptesPublies, UnEnFractionsDistinctes)
{
    // Ways to write 1 as a sum of n distinct unit fractions (OEIS A006585).
    const long attendu[] = {0, 0, 0, 1, 6, 72, 2320};
    for (int n = 3; n <= 6; n++) {
        const Probleme p = pb(1, 1, n, 2, 0, 2);
        const Liste l = parcourir(p);
        EXPECT_EQ(static_cast<long>(l.size()), attendu[n]) << "n = " << n;
        verifier(l, p);
    }
}

TEST(ComptesPublies, UnAvecRepetitions)
{
    // Ways to write 1 as a sum of n unit fractions (OEIS A002966).
    const long attendu[] = {0, 1, 1, 3, 14, 147, 3462};
    for (int n = 1; n <= 6; n++) {
        const Probleme p = pb(1, 1, n, 1, 0, 1);
        const Liste l = parcourir(p);
        EXPECT_EQ(static_cast<long>(l.size()), attendu[n]) << "n = " << n;
        verifier(l, p);
    }
}

TEST(Arriere2, LeMinimumDeX1EstRespecte)
{
    // Lowering x1 after withdrawing a chain of unknowns must not pass the
    // minimum of x1: 14/33 has no expansion of length 3 with x1 >= 5.
    EXPECT_TRUE(parcourir(pb(14, 33, 3, 2, 0, 5)).empty());
    for (int parite : {1, 2}) {
        const Probleme q = pb(14, 33, 3, 2, parite, parite == 1 ? 5 : 6);
        verifier(parcourir(q), q);
    }
    const Probleme p = pb(89, 132, 3, 2, 0, 3);
    const Liste l = parcourir(p);
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l.front(), (Developpement{3, 4, 11}));
    verifier(l, p);
    const Probleme pair = pb(89, 132, 3, 2, 2, 4);
    verifier(parcourir(pair), pair);
    // Same with odd unknowns and a minimum of 5 where lowering would reach 3.
    const Probleme impair = pb(1, 3, 3, 2, 1, 5);
    verifier(parcourir(impair), impair);
}

// An independent enumeration: every non-decreasing (Type 1) or increasing
// (Type 2) sequence of admissible values, x[k] running up from its smallest
// possible value to floor((n-k)/R), with exact rational tests.
void brute(const Probleme& p, int k, long prec, const NTL::ZZ& num, const NTL::ZZ& den, Developpement& d, Liste& out)
{
    using NTL::ZZ;
    const ZZ rn = ZZ(p.P) * den - ZZ(p.Q) * num;  // R = rn / (Q*den)
    if (k == p.n) {
        if (rn == 0) out.push_back(d);
        return;
    }
    if (rn <= 0) return;
    const ZZ rd = ZZ(p.Q) * den;
    long lo = std::max(p.minx, p.type == 2 ? prec + 1 : prec);
    if (p.parite && (lo % 2 == 1) != (p.parite == 1)) lo++;
    const long step = p.parite ? 2 : 1;
    if (k == p.n - 1) {  // the last unknown is 1/R itself
        if (rd % rn != 0) return;
        const long v = NTL::to_long(rd / rn);
        if (v < lo || (p.M && v > p.M) || (p.parite && (v % 2 == 1) != (p.parite == 1))) return;
        d.push_back(v);
        out.push_back(d);
        d.pop_back();
        return;
    }
    const ZZ hautZZ = (ZZ(p.n - k) * rd) / rn;
    long haut = NTL::to_long(hautZZ);
    if (p.M && haut > p.M) haut = p.M;
    for (long v = lo; v <= haut; v += step) {
        d.push_back(v);
        brute(p, k + 1, v, num * v + den, den * v, d, out);
        d.pop_back();
    }
}

Liste parForceBrute(const Probleme& p)
{
    Liste l;
    Developpement d;
    brute(p, 0, 0, NTL::ZZ(0), NTL::ZZ(1), d, l);
    std::sort(l.begin(), l.end(), [](const Developpement& u, const Developpement& v) { return u > v; });
    return l;
}

TEST(Parcours, IdentiqueAUneEnumerationIndependante)
{
    // Small fractions, lengths 1 to 4, both types, every parity, with and
    // without bounds: the walk must give exactly the brute-force list.
    unsigned graine = 12345;
    auto hasard = [&](unsigned k) {
        graine = graine * 1103515245u + 12345u;
        return (graine >> 16) % k;
    };
    int essais = 0;
    while (essais < 400) {
        Probleme p;
        p.Q = 1 + hasard(30);
        p.P = 1 + hasard(static_cast<unsigned>(p.Q) + 10);
        p.n = 1 + static_cast<int>(hasard(4));
        p.type = 1 + static_cast<int>(hasard(2));
        p.parite = static_cast<int>(hasard(3));
        p.minx = 1 + hasard(6);
        p.M = hasard(2) ? 0 : 20 + hasard(200);
        if (p.parite && (p.minx % 2 == 1) != (p.parite == 1)) p.minx++;
        if (p.parite && p.M && (p.M % 2 == 1) != (p.parite == 1)) p.M--;
        const long g = NTL::GCD(p.P, p.Q);
        p.P /= g;
        p.Q /= g;
        // Keeps the brute force quick on the longest lengths.
        if (!p.M && p.n == 4) p.M = 600;
        essais++;
        SCOPED_TRACE(testing::Message() << p.P << "/" << p.Q << " n=" << p.n << " type " << p.type << " parity "
                                        << p.parite << " minx " << p.minx << " M " << p.M);
        EXPECT_EQ(parcourir(p), parForceBrute(p));
    }
}

TEST(Parcours, ValidesEtOrdonnesSousContraintes)
{
    const std::vector<Probleme> cas = {
        pb(2, 3, 4, 2, 1, 1), pb(5, 121, 3, 2),     pb(4, 5, 4, 2, 2, 2, 60), pb(7, 15, 4, 1, 1, 3, 45),
        pb(3, 7, 4, 2, 0, 3), pb(1, 1, 5, 2, 1, 3), pb(11, 12, 4, 1, 2, 4),   pb(9, 10, 4, 2, 0, 2, 50),
    };
    for (const auto& p : cas) {
        SCOPED_TRACE(testing::Message() << p.P << "/" << p.Q << " n=" << p.n << " type " << p.type);
        const Liste l = parcourir(p);
        verifier(l, p);
    }
}

}  // namespace
