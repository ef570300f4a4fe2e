// Factorisation of 64-bit numbers, on which the fast search relies for exact
// divisor lists.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "search/facteurs.h"

using egypte::premier64;

namespace {

bool premierLent(std::uint64_t v)
{
    if (v < 2) return false;
    for (std::uint64_t d = 2; d * d <= v; d++)
        if (v % d == 0) return false;
    return true;
}

TEST(Facteurs, Primalite)
{
    // Primes, among them the largest below 2^64 and a Mersenne prime; then
    // composites that fool some Miller-Rabin bases: a Carmichael number, the
    // smallest strong pseudoprimes to base 2 and to bases 2, 3, 5, 7, and a
    // product of two primes near 2^32.
    for (std::uint64_t p : {2ULL, 3ULL, 97ULL, 4294967291ULL, 2305843009213693951ULL, 18446744073709551557ULL})
        EXPECT_TRUE(premier64(p)) << p;
    for (std::uint64_t c : {0ULL, 1ULL, 561ULL, 2047ULL, 3215031751ULL, 3825123056546413051ULL, 18446743979220271189ULL})
        EXPECT_FALSE(premier64(c)) << c;
    // Against trial division: all numbers below 20000, and random ones below 2 * 10^6.
    std::mt19937_64 g(7);
    for (std::uint64_t k = 0; k < 40000; k++) {
        const std::uint64_t v = k < 20000 ? k : 1 + g() % 2000000;
        EXPECT_EQ(premier64(v), premierLent(v)) << v;
    }
}

TEST(Facteurs, LeProduitRedonneLeNombre)
{
    std::mt19937_64 g(11);
    for (int k = 0; k < 3000; k++) {
        // Small, medium and full-width numbers, and products of two large primes.
        std::uint64_t v = g();
        if (k % 3 == 0) v = 1 + v % 5000000;
        if (k % 3 == 1) v = 1 + v % 100000000000ULL;
        if (k == 2) v = 4294967291ULL * 4294967279ULL;
        egypte::Puissance f[16];
        const int nb = egypte::factoriser64(v, f);
        unsigned __int128 produit = 1;
        for (int a = 0; a < nb; a++) {
            EXPECT_TRUE(premier64(f[a].p) && (a == 0 || f[a - 1].p < f[a].p)) << v << " : " << f[a].p;
            for (int e = 0; e < f[a].e; e++) produit *= f[a].p;
        }
        EXPECT_TRUE(produit == v) << v;
    }
}

}  // namespace
