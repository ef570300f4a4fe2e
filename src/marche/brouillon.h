// The fast search's scratch: the factorisations it keeps, the divisors it
// lists or matches, and the working values of its runs over x[n-2] and
// x[n-1]. Rebuilt by every run; never copied from one search to another.
#ifndef EGYPTE_MARCHE_BROUILLON_H
#define EGYPTE_MARCHE_BROUILLON_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "facteurs/cache_facteurs.h"
#include "facteurs/diviseurs.h"

namespace egypte {

using NTL::ZZ;

struct Brouillon {
    CacheFacteurs cache;             // factorisations of Q and of the placed unknowns
    std::vector<Puissance> facteurs; // the primes of q with their exponents in q
    std::vector<ZZ> grands;          // primes of Q and of the unknowns beyond machine words
    std::vector<Puissance> base;     // the primes of q3, their exponents in q3 (the run over x[n-2])
    Diviseurs liste;                 // the divisors of a range, listed or matched
    std::vector<PuissanceZ> facteursZ; // the primes of q with their exponents, when q does not fit
    std::size_t nbFacteursZ = 0;     // entries of facteursZ in use
    std::vector<ZZ> candidatsZ;      // the divisors of a range when q does not fit a machine word
    std::size_t nbZ = 0;             // entries of candidatsZ in use
    std::vector<ZZ> pileZ;           // pileZ[idx]: the divisor built from the primes before idx
    long noeudsZ = 0;                // nodes of the big-integer listing (looks at Ctrl-C)
    bool coupeZ = false;             // the big-integer listing was cut by Ctrl-C
    ZZ v0, lo, vlast, g, pz, qz, tz, uz, q2z, dloz, dhiz;
    Puissance premiersV[16];         // the primes of x[n-2], increasing
    int exposantsQ[16] = {};         // their exponents in q (the run over x[n-2])
    int rangsV[16] = {};             // their places in base, -1 for none
    std::vector<std::int8_t> rangsBase; // rangsBase[p]: the place of the small prime p in base, -1 for none
    int nbPremiersV = 0;
    ZZ premierXn;               // x[n] of the first expansion of a range counted at once (its smallest)
    u64 arretA = 0;             // x[n-1] of the expansion after which a range stopped
    u64 Mw = 0;                 // M when it has at most 63 bits; 0 when there is none
    u64 minxMots = 0;           // minx
};

}  // namespace egypte

#endif
