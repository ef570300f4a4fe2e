// Factorisation of integers beyond machine words, for the fast search: Q, or
// an unknown placed before the last two, may have a prime factor that no
// machine word holds (2/p for a prime p above 2^63), and without its primes
// the divisors of the denominator left cannot be listed.
#ifndef EGYPTE_FACTEURS_GRANDS_FACTEURS_H
#define EGYPTE_FACTEURS_GRANDS_FACTEURS_H

#include <NTL/ZZ.h>

#include <vector>

namespace egypte {

struct PuissanceZ {
    NTL::ZZ p;  // a prime
    int e = 0;  // its exponent
};

// The prime factorisation of v >= 1 into f (primes increasing, each proved
// prime), with a bounded effort: every prime factor below 2^32 (save with a
// chance of about 1e-15 each; most up to 2^36), then a cofactor of at most
// 100 bits split whole; a number of more than 512 bits only has its factors
// below 2^15 divided out first. False, with f empty, when that does not
// complete it (a composite cofactor beyond 100 bits with no prime rho finds)
// or on Ctrl-C: the caller then steps instead. Each call takes at most about
// 0.3 s (0.15 s more to prove a prime of 512 bits). Results are kept for the
// process (any thread), so that Q or an unknown met again by another worker
// or probe is factored once; a call stopped by Ctrl-C is not kept.
bool factoriserGrand(const NTL::ZZ& v, std::vector<PuissanceZ>& f);

}  // namespace egypte

#endif
