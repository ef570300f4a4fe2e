// The quadratic sieve for the cofactors of at most 100 bits that the
// factorisation beyond machine words must split whole: elliptic curves find
// a prime of 50 bits in 60 ms on average but take more than 0.3 s once in a
// hundred, and FLINT's own sieve writes its relations to a file in the current
// directory. This one keeps them in memory and needs nothing wider than 128
// bits, in a bounded number of polynomials.
#ifndef EGYPTE_FACTEURS_CRIBLE_H
#define EGYPTE_FACTEURS_CRIBLE_H

#include "facteurs/facteurs.h"

namespace egypte {

// Numbers up to this size are within the sieve's tables.
constexpr int CRIBLE_BITS_MAX = 100;

// A factor of n strictly between 1 and n. n: odd, composite, not a perfect
// power, of 40 to CRIBLE_BITS_MAX bits. 0 when the search was stopped
// (Ctrl-C) or when no factor came within the polynomials allowed.
u128 crible(u128 n);

}  // namespace egypte

#endif
