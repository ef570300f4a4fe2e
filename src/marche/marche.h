// The walk of the length being tried: the length and its largest sum, the
// unknowns placed, the running sum and the working values of the bound of
// the next unknown. One per search, and one per worker of a walk.
#ifndef EGYPTE_MARCHE_MARCHE_H
#define EGYPTE_MARCHE_MARCHE_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace egypte {

using NTL::ZZ;
using NTL::Vec;

struct Marche {
    // --- The length ----------------------------------------------------------
    int n = 0;     // length being tried; once an expansion is found, the minimal length
    ZZ nz;         // always equal to n, as a ZZ (compared with maxn)
    ZZ m0;         // copy of minx for the current length
    int T0 = 0;    // step between unknowns of the smallest admissible expansion (0 for Type 1)
    ZZ Pm0;        // numerator of the largest sum n admissible unknowns reach (reduced every 64 lengths)
    ZZ Qm0;        // denominator of that largest sum
    int nPm0 = 0;  // the length whose largest sum Pm0/Qm0 hold; 0 = none yet in this computation

    // --- The walk ------------------------------------------------------------
    int i = 0;      // number of placed unknowns; -1 = walk over or length settled
    Vec<ZZ> x;      // unknowns x[1..n]; x[0] = 0 is the predecessor of x[1]
    Vec<ZZ> minr;   // minr[k]: smallest admissible value of x[k]
    int sale = 0;   // 1 when a walk has written into x or minr since they were last cleared
    // Changes whenever x[1..n-3] may have changed before an expansion is
    // shown; a fast search's run over x[n-2] or x[n-1] keeps it: a display
    // that keeps the last expansion copies the prefix once per value.
    std::uint64_t prefixe = 0;
    ZZ N;           // numerator of the running sum 1/x[1] + ... + 1/x[i] (never reduced)
    ZZ D{1};        // denominator of the running sum: product of the placed unknowns
    ZZ r;           // upper bound of the current step: largest candidate for x[i+1]
    ZZ reste;       // 0 exactly when the completion starting at r is exact
    ZZ divid;       // (n - i) * Q * D
    ZZ divis;       // P * D - Q * N: the remainder is divis / (Q * D)
    ZZ e;           // Type 1 backtrack: the value shared by a run of equal unknowns

    // Working values of the bound computation (read and written by maxi only).
    ZZ pd;   // P * Dk
    ZZ qn;   // Q * Nk
    ZZ qd;   // Q * Dk
    ZZ r1;   // upper bound while it is being worked out
    ZZ rm;   // first (smallest) value of the Type 2 window
    ZZ N1k;  // numerator of the window's reciprocal sum (never reduced)
    ZZ D1k;  // denominator of the window's reciprocal sum: product of its values
    ZZ d1;   // N1k*qd - D1k*divis: sign of (window sum - remainder)
    ZZ D0;   // product of the window's values without the first
    ZZ y;    // holds 1: the result of the end-of-walk exit
    ZZ t;    // scratch: the term entering the window
    ZZ w;    // scratch for comparisons and products, so the walk never allocates
    ZZ u;    // scratch result swapped into place: NTL copies an operand that is also the result

    // Running sum (somme.cpp): add or withdraw 1/x[i] from N/D, exactly.
    void plu();
    void moin();

    // Takes up the length of `m`: n, and vectors of n + 1 entries.
    void prendreLongueur(const Marche& m)
    {
        n = m.n;
        nz = m.nz;
        if (x.length() != n + 1) {
            x.SetLength(n + 1);
            minr.SetLength(n + 1);
        }
    }
};

}  // namespace egypte

#endif
