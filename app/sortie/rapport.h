// The dialogue's final report of a computation.
#ifndef EGYPTE_SORTIE_RAPPORT_H
#define EGYPTE_SORTIE_RAPPORT_H

#include <ostream>

#include "egypte/egypte.h"

namespace egypte {

// The bounds on n as the dialogue's user typed them, of any size: the
// problem holds them as lengths (those past the longest searched alike), the
// report repeats them as typed.
struct BornesTapees {
    NTL::ZZ longueurMin, longueurMax;  // 0 = none
};

// The equation, the number of expansions, the constraints as entered (p, n)
// and the extreme values met (r).
void rapportDialogue(std::ostream& o, const Probleme& p, const Resultat& r, const BornesTapees& n);

}  // namespace egypte

#endif
