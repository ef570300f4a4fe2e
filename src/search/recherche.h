// The helpers of the search's arithmetic. The search itself is the class
// Recherche (etat.h).
#ifndef EGYPTE_SEARCH_RECHERCHE_H
#define EGYPTE_SEARCH_RECHERCHE_H

#include "search/etat.h"

namespace egypte {

// q <- a / b where b divides a exactly (somme.cpp); q must not be a or b.
void diviserExact(ZZ& q, const ZZ& a, const ZZ& b);

}  // namespace egypte

#endif
