// The walks: every expansion exactly once, in decreasing lexicographic order,
// checked against hand-worked lists, an independent enumeration and published
// counts; and the bounds of the next unknown on hand-worked cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

#include "harnais.h"
#include "marche/recherche.h"

using essai::Developpement;
using essai::parcourir;
using essai::Probleme;
using Liste = std::vector<Developpement>;

namespace {

Probleme pb(long p, long q, int n, int type, int parite = 0, long minx = 1, long M = 0)
{
    return Probleme{p, q, n, type, parite, minx, M};
}

TEST(Parcours, ListesALaMain)
{
    const struct { Probleme p; Liste l; } cas[] = {
        {pb(1, 2, 3, 1), {{6, 6, 6}, {5, 5, 10}, {4, 8, 8}, {4, 6, 12}, {4, 5, 20}, {3, 12, 12}, {3, 10, 15},
                          {3, 9, 18}, {3, 8, 24}, {3, 7, 42}}},
        {pb(1, 2, 3, 2), {{4, 6, 12}, {4, 5, 20}, {3, 10, 15}, {3, 9, 18}, {3, 8, 24}, {3, 7, 42}}},
        {pb(1, 2, 3, 1, 2, 2), {{6, 6, 6}, {4, 8, 8}, {4, 6, 12}}},
        {pb(1, 2, 3, 1, 0, 1, 10), {{6, 6, 6}, {5, 5, 10}, {4, 8, 8}}},
        {pb(1, 2, 3, 1, 0, 4), {{6, 6, 6}, {5, 5, 10}, {4, 8, 8}, {4, 6, 12}, {4, 5, 20}}},
        {pb(3, 4, 3, 2), {{3, 4, 6}, {2, 6, 12}, {2, 5, 20}}},
        {pb(3, 4, 3, 1), {{4, 4, 4}, {3, 4, 6}, {3, 3, 12}, {2, 8, 8}, {2, 6, 12}, {2, 5, 20}}},
        {pb(1, 3, 1, 2), {{3}}}, {pb(1, 3, 1, 1), {{3}}}, {pb(2, 3, 1, 2), {}},
        {pb(1, 2, 2, 1), {{4, 4}, {3, 6}}}, {pb(1, 2, 2, 2), {{3, 6}}},
        {pb(1, 1, 3, 2), {{2, 3, 6}}}, {pb(2, 1, 4, 2, 1), {}},
        // Lowering x1 after withdrawing a chain of unknowns must not pass the
        // minimum of x1: 14/33 has no expansion of length 3 with x1 >= 5.
        {pb(14, 33, 3, 2, 0, 5), {}},
    };
    for (const auto& c : cas) EXPECT_EQ(parcourir(c.p), c.l) << c.p.P << "/" << c.p.Q << " n=" << c.p.n;

    const Liste l = parcourir(pb(4, 5, 5, 1, 0, 1, 30));
    ASSERT_EQ(l.size(), 58u);
    EXPECT_EQ(l.front(), (Developpement{5, 6, 6, 6, 10}));
    Liste avec33;
    std::copy_if(l.begin(), l.end(), std::back_inserter(avec33), [](const auto& d) { return d[0] == 3 && d[1] == 3; });
    EXPECT_EQ(avec33, (Liste{{3, 3, 20, 24, 24}, {3, 3, 20, 21, 28}, {3, 3, 20, 20, 30}, {3, 3, 15, 30, 30}}));
}

// Every list is strictly decreasing in lexicographic order and made of valid
// expansions.
void verifier(const Liste& l, const Probleme& p)
{
    for (std::size_t k = 0; k < l.size(); k++) {
        const auto& d = l[k];
        ASSERT_EQ(d.size(), static_cast<std::size_t>(p.n));
        NTL::ZZ num(0), den(1);
        for (std::size_t u = 0; u < d.size(); u++) {
            EXPECT_TRUE(u == 0 || (p.type == 2 ? d[u - 1] < d[u] : d[u - 1] <= d[u])) << u;
            EXPECT_TRUE(d[u] >= p.minx && (!p.M || d[u] <= p.M)) << d[u];
            EXPECT_TRUE(!p.parite || d[u] % 2 == (p.parite == 1 ? 1 : 0)) << d[u];
            num = num * d[u] + den;
            den *= d[u];
        }
        EXPECT_EQ(num * p.Q, den * p.P);
        EXPECT_TRUE(k == 0 || l[k - 1] > d);
    }
}

// Ways to write 1 as a sum of n distinct unit fractions (OEIS A006585) and of
// n unit fractions (OEIS A002966): by the plain walk, the fast search and the
// walk on several threads.
const long distinctes[] = {0, 0, 0, 1, 6, 72, 2320, 245765}, repetees[] = {0, 1, 1, 3, 14, 147, 3462};

TEST(Parcours, ComptesPublies)
{
    for (int n = 1; n <= 6; n++) {
        for (int type : {1, 2}) {
            const Probleme p = pb(1, 1, n, type, 0, type);
            const long attendu = type == 2 ? distinctes[n] : repetees[n];
            const Liste l = parcourir(p);
            EXPECT_EQ(static_cast<long>(l.size()), attendu) << "n = " << n << " type " << type;
            verifier(l, p);
            const std::string tape = "1 1 1 " + std::to_string(type) + " 0 0 0 " + std::to_string(n) + " " +
                                     std::to_string(n + 1) + " -1000000";
            if (type == 1 || n >= 3) {  // without excluding 1, the distinct ones start at 3
                EXPECT_EQ(essai::calculer(tape, {}).compte, attendu) << "fast, n = " << n << " type " << type;
            }
        }
    }
}

TEST(Parallele, ComptesPublies)
{
    EXPECT_EQ(essai::calculer("1 1 1 2 0 0 0 7 8 -1000000", {0, 3, 62, 0, 1, 1 << 10, 8}).compte, distinctes[7]);
    EXPECT_EQ(essai::calculer("1 1 1 1 0 0 0 6 7 -1000000", {0, 2}).compte, repetees[6]);
}

// An independent enumeration: every non-decreasing (Type 1) or increasing
// (Type 2) sequence of admissible values, x[k] running up from its smallest
// possible value to floor((n-k)/R), with exact rational tests.
void brute(const Probleme& p, int k, long prec, const NTL::ZZ& num, const NTL::ZZ& den, Developpement& d, Liste& out)
{
    using NTL::ZZ;
    const ZZ rn = ZZ(p.P) * den - ZZ(p.Q) * num;  // R = rn / (Q*den)
    if (k == p.n || rn <= 0) {
        if (k == p.n && rn == 0) out.push_back(d);
        return;
    }
    const ZZ rd = ZZ(p.Q) * den;
    long lo = std::max(p.minx, p.type == 2 ? prec + 1 : prec);
    if (p.parite && (lo % 2 == 1) != (p.parite == 1)) lo++;
    long haut = NTL::to_long((ZZ(p.n - k) * rd) / rn);
    if (p.M && haut > p.M) haut = p.M;
    if (k == p.n - 1) {  // the last unknown is 1/R itself, when admissible
        const long v = rd % rn == 0 ? NTL::to_long(rd / rn) : 0;
        if (v < lo || v > haut || (p.parite && (v % 2 == 1) != (p.parite == 1))) return;
        lo = v;
    }
    for (long v = lo; v <= haut; v += p.parite ? 2 : 1) {
        d.push_back(v);
        brute(p, k + 1, v, num * v + den, den * v, d, out);
        d.pop_back();
    }
}

TEST(Parcours, IdentiqueAUneEnumerationIndependante)
{
    // Small fractions, lengths 1 to 4, both types, every parity, with and
    // without bounds: the walk must give exactly the brute-force list.
    std::mt19937 g(12345);
    for (int essai = 0; essai < 400 && !HasFailure(); essai++) {
        Probleme p;
        p.Q = 1 + g() % 30;
        p.P = 1 + g() % (p.Q + 10);
        const long pgcd = NTL::GCD(p.P, p.Q);
        p.P /= pgcd;
        p.Q /= pgcd;
        p.n = 1 + static_cast<int>(g() % 4);
        p.type = 1 + static_cast<int>(g() % 2);
        p.parite = static_cast<int>(g() % 3);
        p.minx = 1 + g() % 6;
        p.M = g() % 2 ? 0 : 20 + g() % 200;
        if (!p.M && p.n == 4) p.M = 600;  // keeps the brute force quick
        if (p.parite && (p.minx % 2 == 1) != (p.parite == 1)) p.minx++;
        if (p.parite && p.M && (p.M % 2 == 1) != (p.parite == 1)) p.M--;
        Liste attendu;
        Developpement d;
        brute(p, 0, 0, NTL::ZZ(0), NTL::ZZ(1), d, attendu);
        std::sort(attendu.begin(), attendu.end(), std::greater<Developpement>());
        const Liste l = parcourir(p);
        EXPECT_EQ(l, attendu) << p.P << "/" << p.Q << " n=" << p.n << " type " << p.type << " parity " << p.parite
                              << " minx " << p.minx << " M " << p.M;
    }
}

// The bounds of the next unknown, worked out by hand from their definitions:
// the value returned, minr[k+1] and the remainder.
struct Bornes : ::testing::Test, egypte::Recherche {};

TEST_F(Bornes, CasCalculesALaMain)
{
    const struct { long P, Q; int n, type, parite; long minx, M; std::vector<long> prefixe; long r, minr, reste; } cas[] = {
        {2, 3, 2, 1, 0, 1, 0, {}, 3, 2, 0},     // 1/3 + 1/3
        {2, 3, 2, 2, 0, 1, 0, {}, 3, 2, 1},     // windows 5/6 at 2, 7/12 at 3
        {1, 1, 3, 2, 0, 1, 0, {}, 3, 2, 1},     // windows 13/12 at 2, 47/60 at 3
        {1, 3, 1, 1, 0, 1, 0, {}, 3, 3, 0},     {1, 3, 1, 2, 0, 1, 0, {}, 3, 3, 0},
        {2, 3, 1, 2, 0, 1, 0, {}, 1, 1, 1},
        {5, 6, 3, 2, 0, 1, 0, {2}, 6, 4, 1},    // R = 1/3
        {5, 6, 3, 2, 0, 1, 0, {3}, 4, 3, 1},    // window starts at x1 + 1
        {1, 2, 3, 1, 0, 1, 10, {3}, 10, 7, 2},  // bound 12 lowered to M
        // Distinct: x2 < x3 <= 10, so x2 <= 9; the window 1/9 + 1/10 = 19/90
        // against R = 1/6: 19*6 - 90 = 24, not closed.
        {1, 2, 3, 2, 0, 1, 10, {3}, 9, 7, 24},
        {1, 2, 2, 1, 2, 2, 0, {}, 4, 4, 0},     // even: 1/4 + 1/4
        {2, 5, 2, 2, 1, 1, 0, {}, 5, 3, 1},     // odd
        {5, 3, 3, 2, 1, 1, 0, {}, 1, 1, -6},    // bound 2 lowered to 1 for parity
        {1, 1, 4, 2, 0, 1, 0, {2}, 6, 3, 1},    // the fast jump (windows of 3 from 3) ends at 6
        {10, 27, 2, 2, 0, 1, 0, {}, 5, 3, 1},   // 1/5 + 1/6 <= 10/27: the window ends where the jump lands
    };
    for (const auto& c : cas) {
        for (int simple : {1, 0}) {
            static_cast<egypte::Recherche&>(*this) = egypte::Recherche();
            cadre.P = c.P, cadre.Q = c.Q, cadre.type = c.type, cadre.parite = c.parite, cadre.minx = c.minx;
            cadre.M = c.M, marche.n = c.n;
            cadre.z = cadre.parite == 0 ? 1 : 2;
            cadre.simple = simple;
            marche.x.SetLength(marche.n + 1);
            marche.minr.SetLength(marche.n + 1);
            for (long v : c.prefixe) marche.x[++marche.i] = v, marche.plu();
            SCOPED_TRACE(testing::Message() << c.P << "/" << c.Q << " n=" << c.n << " type " << c.type << " parity "
                                            << c.parite << " prefix size " << c.prefixe.size() << " simple " << simple);
            const int k = marche.i;
            EXPECT_EQ(maxi(marche.i, marche.D, marche.N), c.r);
            EXPECT_EQ(marche.i, k);
            EXPECT_EQ(marche.minr[k + 1], c.minr);
            EXPECT_EQ(marche.reste, c.reste);
        }
    }
}

}  // namespace
