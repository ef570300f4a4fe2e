// Factorisation of integers beyond machine words, for the fast search: Q, or
// an unknown placed before the last two, may have a prime factor that no
// machine word holds (2/p for a prime p above 2^63), and without its primes
// the divisors of the denominator left cannot be listed.
#ifndef EGYPTE_SEARCH_GRANDS_FACTEURS_H
#define EGYPTE_SEARCH_GRANDS_FACTEURS_H

#include <NTL/ZZ.h>

#include <vector>

namespace egypte {

struct PuissanceZ {
    NTL::ZZ p;  // a prime
    int e = 0;  // its exponent
};

// The prime factorisation of v >= 1 into f (primes increasing, each proved
// prime), through FLINT, with a bounded effort: every factor of up to about
// 32 bits, then, in a cofactor of at most 100 bits, its factors of up to
// about half its size; a number of more than 512 bits only has its factors
// below 2^15 divided out first. False, with f empty, when that does not
// complete it (a large composite cofactor): the caller then steps instead.
// Each call takes at most a few tenths of a second. Results are kept for the
// process (any thread), so that Q or an unknown met again by another worker
// or probe is factored once.
bool factoriserGrand(const NTL::ZZ& v, std::vector<PuissanceZ>& f);

}  // namespace egypte

#endif
