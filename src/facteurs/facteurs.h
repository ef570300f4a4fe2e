// Factorisation of machine-word integers, for the fast search: the
// denominator left for the last two unknowns is made of the primes of Q and of
// the placed unknowns, so only those single numbers are ever factored.
#ifndef EGYPTE_FACTEURS_FACTEURS_H
#define EGYPTE_FACTEURS_FACTEURS_H

#include <cstdint>

namespace egypte {

// Machine words of the fast search; their products are taken in 128 bits.
using u64 = std::uint64_t;
using u128 = unsigned __int128;

struct Puissance {
    std::uint64_t p;  // a prime
    int e;            // its exponent
};

// Deterministic primality of a 64-bit integer (Miller-Rabin on the first
// twelve primes, which is exact below 2^64).
bool premier64(std::uint64_t v);

// Writes the prime factorisation of v >= 1 into f (at most 15 entries, primes
// increasing, each with its exponent) and returns the number of entries.
int factoriser64(std::uint64_t v, Puissance f[16]);

}  // namespace egypte

#endif
