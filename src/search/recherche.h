// Routines of the expansion search. They work on the search state (etat.h)
// and take no arguments except maxi.
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

// Running sum (somme.cpp): add or withdraw 1/x[i] from N/D, exactly.
void plu();
void moin();

// Bounds of the next unknown x[k+1] (bornes.cpp). Returns the upper bound
// (a reference to a value of the search state, valid until the next call),
// writes minr[k+1], reste, divid and divis, or sets i to -1 when the placed
// unknowns already reach P/Q.
const ZZ& maxi(int k, const ZZ& Dk, const ZZ& Nk);

// One step of the Type 1 / Type 2 walk, and their backtracks (parcours.cpp).
int suite();
int suite2();
int arriere();
int arriere2();

// The computation (preparation.cpp, longueurs.cpp): the set-up dialogue, then
// the search over increasing lengths, the listing and the report.
bool preparation();  // false when the computation already ended with a message
int calcul();

}  // namespace egypte

#endif
