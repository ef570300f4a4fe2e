// The messages that end a computation from the set-up or the length loop, and
// the helpers of the search's arithmetic. The search itself is the class
// Recherche (etat.h).
#ifndef EGYPTE_SEARCH_RECHERCHE_H
#define EGYPTE_SEARCH_RECHERCHE_H

#include "search/etat.h"

namespace egypte {

// Ends a computation whose constraints leave no length to try.
inline constexpr const char* AUCUNE_SOLUTION =
    " \n \n \t \t Aucune solution compte tenu des contraintes ! \n \n ";
// Ends a computation stopped by Ctrl-C.
inline constexpr const char* INTERROMPU = " \n \n \t \t Calcul interrompu a la demande de l'utilisateur. \n \n ";
// Ends a computation whose next length would pass NMAX.
inline constexpr const char* TROP_LONG =
    " \n \n \t \t Longueur trop grande : la recherche est limitee a n = 100000 ! \n \n ";

// q <- a / b where b divides a exactly (somme.cpp); q must not be a or b.
void diviserExact(ZZ& q, const ZZ& a, const ZZ& b);

}  // namespace egypte

#endif
