// A problem as the front ends take it (the dialogue's answers, the command
// line's options): the fraction as entered and the constraints as entered, 0
// standing for the absence of a bound.
#ifndef EGYPTE_SEARCH_PROBLEME_H
#define EGYPTE_SEARCH_PROBLEME_H

#include <NTL/ZZ.h>

namespace egypte {

struct Probleme {
    NTL::ZZ P1{1}, Q1{1};  // the fraction as entered, both positive
    int type = 2;          // 2 = all unknowns different, 1 = unknowns may be equal
    int parite = 0;        // 0 = any parity, 1 = all odd, 2 = all even
    NTL::ZZ minx;          // minimum for x1; 0 = none
    NTL::ZZ M;             // maximum for xn; 0 = none
    NTL::ZZ minn;          // minimum for n; 0 = none
    NTL::ZZ maxn;          // maximum for n; 0 = none
    bool sansUn = false;   // the value 1 excluded for x1 (meaningful when P >= Q)
    NTL::ZZ longueur;      // that length only, no search of the minimal one; 0 = search
};

// Whether odd unknowns can reach P1/Q1 at all (false: no constraint on the
// other unknowns can help). Asked before the bounds, so that they need not be.
bool impairesPossibles(const NTL::ZZ& P1, const NTL::ZZ& Q1);

}  // namespace egypte

#endif
