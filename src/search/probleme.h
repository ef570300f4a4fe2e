// A problem as the front ends take it (the dialogue's answers, the command
// line's options): the public Probleme, and the one rule the dialogue asks
// before the bounds.
#ifndef EGYPTE_SEARCH_PROBLEME_H
#define EGYPTE_SEARCH_PROBLEME_H

#include <NTL/ZZ.h>

#include "egypte/egypte.h"

namespace egypte {


// Whether odd unknowns can reach P1/Q1 at all (false: no constraint on the
// other unknowns can help). Asked before the bounds, so that they need not be.
bool impairesPossibles(const NTL::ZZ& P1, const NTL::ZZ& Q1);

}  // namespace egypte

#endif
