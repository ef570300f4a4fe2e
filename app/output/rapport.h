// The dialogue's final report of a computation.
#ifndef EGYPTE_OUTPUT_RAPPORT_H
#define EGYPTE_OUTPUT_RAPPORT_H

#include <ostream>

#include "egypte/egypte.h"

namespace egypte {

// The equation, the number of expansions, the constraints as entered (p) and
// the extreme values met (r).
void rapportDialogue(std::ostream& o, const Probleme& p, const Resultat& r);

}  // namespace egypte

#endif
