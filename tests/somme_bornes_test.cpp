// The running sum and the bounds of the next unknown, on hand-worked cases.
#include <gtest/gtest.h>

#include <vector>

#include "search/recherche.h"

using namespace egypte;

namespace {

// Each test works on a search of its own.
struct Etat : ::testing::Test, egypte::Recherche {
    // Places the unknowns of the prefix through plu, as a walk does.
    void placer(const std::vector<long>& prefixe)
    {
        N = 0;
        D = 1;
        i = 0;
        for (long v : prefixe) {
            i++;
            x[i] = v;
            plu();
        }
    }

    void probleme(long p, long qq, int longueur, int ty, int par, long mx, long maxi_)
    {
        P = p;
        Q = qq;
        n = longueur;
        type = ty;
        parite = par;
        z = par == 0 ? 1 : 2;
        minx = mx;
        M = maxi_;
        x.SetLength(n + 1);
        minr.SetLength(n + 1);
        for (int k = 0; k <= n; k++) {
            clear(x[k]);
            clear(minr[k]);
        }
    }
};

struct SommePartielle : Etat {
};
struct Maxi : Etat {
};

TEST_F(SommePartielle, AjouterPuisRetirerEstExact)
{
    probleme(1, 2, 3, 2, 0, 1, 0);
    placer({3});
    EXPECT_EQ(N, 1);
    EXPECT_EQ(D, 3);
    i = 2;
    x[2] = 6;
    plu();
    EXPECT_EQ(N, 9);  // 9/18, never reduced
    EXPECT_EQ(D, 18);
    moin();
    i = 1;
    EXPECT_EQ(N, 1);
    EXPECT_EQ(D, 3);
    moin();
    EXPECT_EQ(N, 0);
    EXPECT_EQ(D, 1);
}

TEST_F(SommePartielle, InconnueNegative)
{
    probleme(1, 2, 3, 2, 0, 1, 0);
    placer({-1});
    EXPECT_EQ(N, 1);
    EXPECT_EQ(D, -1);
}

struct CasMaxi {
    long P, Q;
    int n, type, parite;
    long minx, M;
    std::vector<long> prefixe;
    long resultat, minr, reste;
};

// Cases worked out by hand from the definitions of the bounds.
TEST_F(Maxi, CasCalculesALaMain)
{
    const std::vector<CasMaxi> cas = {
        {2, 3, 2, 1, 0, 1, 0, {}, 3, 2, 0},        // 1/3 + 1/3
        {2, 3, 2, 2, 0, 1, 0, {}, 3, 2, 1},        // windows 5/6 at 2, 7/12 at 3
        {1, 1, 3, 2, 0, 1, 0, {}, 3, 2, 1},        // windows 13/12 at 2, 47/60 at 3
        {1, 3, 1, 1, 0, 1, 0, {}, 3, 3, 0},
        {1, 3, 1, 2, 0, 1, 0, {}, 3, 3, 0},
        {2, 3, 1, 2, 0, 1, 0, {}, 1, 1, 1},
        {5, 6, 3, 2, 0, 1, 0, {2}, 6, 4, 1},       // R = 1/3
        {5, 6, 3, 2, 0, 1, 0, {3}, 4, 3, 1},       // window starts at x1 + 1
        {1, 2, 3, 1, 0, 1, 10, {3}, 10, 7, 2},     // bound 12 lowered to M
        {1, 2, 3, 2, 0, 1, 10, {3}, 10, 7, 2},
        {1, 2, 2, 1, 2, 2, 0, {}, 4, 4, 0},        // even: 1/4 + 1/4
        {2, 5, 2, 2, 1, 1, 0, {}, 5, 3, 1},        // odd
        {5, 3, 3, 2, 1, 1, 0, {}, 1, 1, -6},       // bound 2 lowered to 1 for parity
    };
    for (const auto& c : cas) {
        probleme(c.P, c.Q, c.n, c.type, c.parite, c.minx, c.M);
        placer(c.prefixe);
        const int k = i;
        const ZZ resultat = maxi(i, D, N);
        SCOPED_TRACE(testing::Message() << c.P << "/" << c.Q << " n=" << c.n << " type " << c.type
                                        << " parity " << c.parite << " prefix size " << c.prefixe.size());
        EXPECT_EQ(i, k);
        EXPECT_EQ(resultat, c.resultat);
        EXPECT_EQ(minr[k + 1], c.minr);
        EXPECT_EQ(reste, c.reste);
    }
}

TEST_F(Maxi, ProduitsPourLeMaximum)
{
    probleme(2, 3, 2, 1, 0, 1, 0);
    placer({});
    maxi(i, D, N);
    EXPECT_EQ(divid, 6);
    EXPECT_EQ(divis, 2);
    probleme(1, 2, 3, 2, 0, 1, 10);
    placer({3});
    maxi(i, D, N);
    EXPECT_EQ(divid, 12);
    EXPECT_EQ(divis, 1);
}

TEST_F(Maxi, FinDuParcours)
{
    // The placed unknowns already reach P/Q: the walk ends and minr is left alone.
    probleme(5, 7, 3, 2, 1, 1, 0);
    placer({1});
    minr[2] = 99;
    EXPECT_EQ(maxi(i, D, N), 1);
    EXPECT_EQ(i, -1);
    EXPECT_EQ(minr[2], 99);
    placer({-1});
    maxi(i, D, N);
    EXPECT_EQ(i, -1);
}

}  // namespace
