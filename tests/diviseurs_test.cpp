// The divisors of q^2 in a range, the fast search's candidates, in each of
// the three ways it finds them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "facteurs/diviseurs.h"
#include "facteurs/facteurs.h"

namespace {

using egypte::Puissance;
using egypte::u128;
using egypte::u64;

// Every divisor of q^2 (from its primes), by a plain recursion of its own.
void tousLesDiviseurs(const std::vector<Puissance>& f, std::size_t j, u128 d, std::vector<u128>& sortie)
{
    if (j == f.size()) {
        sortie.push_back(d);
        return;
    }
    for (int e = 0; e <= 2 * f[j].e; e++, d *= f[j].p) tousLesDiviseurs(f, j + 1, d, sortie);
}

// The same candidates in the same decreasing order, where p passes 32 bits or
// not, the range is narrow or wide, and primes repeat.
TEST(Diviseurs, TroisFaconsContreLeCribleALaMain)
{
    static const u64 PREMIERS[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 101, 1009, 65537, 4294967291ULL};
    std::mt19937_64 g(20261207);
    for (int k = 0; k < 4000 && !HasFailure(); k++) {
        // q: a few primes with exponents, below 2^60.
        std::vector<Puissance> f;
        u64 q = 1;
        for (u64 pr : PREMIERS) {
            if (g() % 3 != 0) continue;
            int e = 0;
            for (int t = 1 + static_cast<int>(g() % 3); t > 0 && static_cast<u128>(q) * pr < (u128(1) << 60); t--) {
                q *= pr;
                e++;
            }
            if (e > 0) f.push_back(Puissance{pr, e});
        }
        // p prime to q, between 1 and 2q (a = (q + d)/p then reaches 1).
        u64 p = 1 + g() % (2 * q);
        while (std::gcd(p, q) != 1) p++;
        const u64 aMin = q / p + 1, aMax = 2 * q / p;
        if (aMin > aMax) continue;
        const u64 vlast = aMin + g() % (aMax - aMin + 1);
        const u64 largeur = k % 2 == 0 ? g() % 50 : g() % (aMax - vlast + 1);
        const u64 v0 = std::min(aMax, vlast + largeur);
        egypte::Mots m;
        m.impair = m.pair = m.borne = false;
        m.plage(p, q, v0, vlast, 1, k % 3 != 0);
        SCOPED_TRACE(testing::Message() << "p=" << p << " q=" << q << " a de " << v0 << " a " << vlast);

        std::vector<u128> tous;
        tousLesDiviseurs(f, 0, 1, tous);
        std::vector<u64> attendus;
        for (u128 d : tous)
            if (d >= m.dlo && d <= m.dhi && static_cast<u64>(d) % p == m.c) attendus.push_back(static_cast<u64>(d));
        std::sort(attendus.rbegin(), attendus.rend());

        for (int facon = 0; facon < 3; facon++) {
            if (facon == 2 && v0 - vlast > 100000) continue;
            egypte::Diviseurs liste;
            liste.chercher(m, f, facon == 1, facon == 2);
            liste.trier();
            EXPECT_FALSE(liste.coupe);
            EXPECT_EQ(liste.candidats, attendus) << "facon " << facon;
        }
    }
}

}  // namespace
