// Factorisation of 64-bit numbers and of larger ones, on which the fast
// search relies for exact divisor lists.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "commun/avancement.h"
#include "facteurs/crible.h"
#include "facteurs/facteurs.h"
#include "facteurs/grands_facteurs.h"

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

namespace {

using egypte::PuissanceZ;
using NTL::ZZ;

ZZ premierApres(long bits) { return NTL::NextPrime(NTL::power2_ZZ(bits)); }

// The factorisation found is the one the number was built from: the same
// primes, increasing, with the same exponents.
void verifierFactorisation(const std::vector<PuissanceZ>& attendu)
{
    ZZ v(1);
    for (const PuissanceZ& t : attendu) v *= power(t.p, t.e);
    SCOPED_TRACE(v);
    std::vector<PuissanceZ> f;
    ASSERT_TRUE(egypte::factoriserGrand(v, f));
    ASSERT_EQ(f.size(), attendu.size());
    for (std::size_t a = 0; a < f.size(); a++) {
        EXPECT_EQ(f[a].p, attendu[a].p);
        EXPECT_EQ(f[a].e, attendu[a].e);
    }
}

TEST(Facteurs, AuDelaDe64Bits)
{
    // 1, primes just above 2^63, 2^64, 2^100, 2^127 and 2^300; two primes of
    // 48 bits (those of 34 to 40 bits: Grands.DeuxSurUnProduit...); small
    // primes with a large one; the square of a 45-bit prime; a number of 700
    // bits made of small primes and one of 101 bits.
    verifierFactorisation({});
    for (long b : {63, 64, 100, 127, 300}) verifierFactorisation({{premierApres(b), 1}});
    verifierFactorisation({{premierApres(47), 1}, {NTL::NextPrime(NTL::power2_ZZ(47) * 3), 1}});
    verifierFactorisation({{ZZ(3), 5}, {ZZ(7), 1}, {premierApres(90), 2}});
    verifierFactorisation({{premierApres(45), 2}});
    verifierFactorisation({{ZZ(2), 590}, {ZZ(3), 1}, {ZZ(32749), 3}, {premierApres(100), 1}});
    // Beyond 512 bits, primes of 32 bits after those below 2^15; then the
    // square of such primes and one of 101 bits, which rho takes apart from
    // the root.
    verifierFactorisation({{ZZ(2), 500}, {ZZ(2447654047), 1}, {ZZ(3477231227), 1}, {ZZ(3618953803), 1},
                           {ZZ(4134745369), 1}, {premierApres(100), 1}});
    verifierFactorisation({{ZZ(2), 300}, {ZZ(2447654047), 2}, {ZZ(3477231227), 2}, {premierApres(100), 2}});
}

TEST(Facteurs, AuDelaDeLEffortPermis)
{
    // Two primes of 110 bits; two of 350 bits (700 bits, no small factor).
    // Refused, twice (the second answer comes from what the process keeps).
    const ZZ deux = premierApres(110) * premierApres(111);
    const ZZ long700 = premierApres(350) * premierApres(349);
    for (const ZZ& v : {deux, deux, long700}) {
        std::vector<PuissanceZ> f{{ZZ(5), 1}};
        EXPECT_FALSE(egypte::factoriserGrand(v, f)) << v;
        EXPECT_TRUE(f.empty());
    }
}

// Primes of the given sizes drawn from a fixed sequence: the top bits of a
// seeded generator (two draws beyond 64 bits), then the next prime up; a size
// 0 repeats the prime before.
std::vector<ZZ> tirer(std::mt19937_64& g, const std::vector<long>& tailles)
{
    std::vector<ZZ> p;
    for (long b : tailles) {
        if (b == 0) {
            p.push_back(p.back());
            continue;
        }
        ZZ v = NTL::conv<ZZ>(b > 64 ? g() : g() >> (64 - b));
        if (b > 64) v = (v << (b - 64)) + NTL::conv<ZZ>(g() >> (128 - b));
        SetBit(v, b - 1);
        p.push_back(NTL::NextPrime(v));
    }
    return p;
}

TEST(Facteurs, PremiersDe32BitsPuisCofacteurDe100Bits)
{
    // FLINT's curves alone miss a prime of 30 to 32 bits now and then, and
    // split a composite of 100 bits only most of the time (the first three
    // forms: once refused among them). Then cofactors left to the sieve or to
    // rho, squares and cubes: each time factored back into the primes drawn.
    struct Forme {
        std::vector<long> tailles;
        int nombre;
        unsigned graine;
    };
    const Forme formes[] = {
        {{32, 32, 32, 32}, 40, 20261208}, {{30, 30, 30, 30, 45, 45}, 20, 20261209}, {{50, 50}, 20, 1},
        {{32, 32, 33, 33, 33}, 10, 7},    {{32, 32, 40, 0}, 10, 8},                 {{32, 32, 32, 32, 120}, 10, 10},
        {{31, 0, 0, 45, 55}, 5, 9},       {{50, 0, 50, 0}, 3, 12},
    };
    for (const Forme& forme : formes) {
        std::mt19937_64 g(forme.graine);
        for (int k = 0; k < forme.nombre && !HasFailure(); k++) {
            std::map<ZZ, int> puissances;
            for (const ZZ& q : tirer(g, forme.tailles)) puissances[q]++;
            std::vector<PuissanceZ> attendu;
            for (const auto& [q, e] : puissances) attendu.push_back({q, e});
            verifierFactorisation(attendu);
        }
    }
}

TEST(Facteurs, UnArretNEstPasGardeCommeReponse)
{
    // Two primes of 50 bits, which FLINT's first pass leaves to the sieve:
    // stopped there (Ctrl-C), the factoring refuses; once the flag is
    // cleared the same number is factored, not refused from what the process
    // keeps.
    const ZZ a = premierApres(49), b = premierApres(50);
    std::vector<PuissanceZ> f;
    egypte::interrompu.store(true);
    EXPECT_FALSE(egypte::factoriserGrand(a * b, f));
    egypte::interrompu.store(false);
    EXPECT_TRUE(egypte::factoriserGrand(a * b, f));
    EXPECT_EQ(f.size(), 2u);
}

TEST(Facteurs, LeCribleSeulDe41A100Bits)
{
    // Two primes, balanced or not, three, and a prime times the square of
    // another: a factor strictly between 1 and n each time.
    const std::vector<std::vector<long>> formes = {{20, 21}, {30, 34}, {40, 40}, {20, 60}, {45, 45}, {50, 50},
                                                   {33, 33, 33}, {17, 40, 40}, {30, 35, 0}};
    std::mt19937_64 g(11);
    for (const std::vector<long>& tailles : formes)
        for (int k = 0; k < 8; k++) {
            egypte::u128 n = 1;
            for (const ZZ& q : tirer(g, tailles)) n *= NTL::conv<unsigned long>(q);
            SCOPED_TRACE(testing::Message() << static_cast<unsigned long>(n >> 64) << " * 2^64 + "
                                            << static_cast<unsigned long>(n));
            const egypte::u128 d = egypte::crible(n);
            EXPECT_TRUE(d > 1 && d < n && n % d == 0);
        }
}

}  // namespace
