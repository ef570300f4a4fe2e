// The report of an estimate (--estimer): in French, one fact per line, or as
// one JSON object for scripts.
#ifndef EGYPTE_SORTIE_ESTIMATION_RAPPORT_H
#define EGYPTE_SORTIE_ESTIMATION_RAPPORT_H

#include <ostream>

#include "egypte/egypte.h"

namespace egypte {

// `p` is the problem as given, with the length estimated.
void rapportEstimationTexte(std::ostream& o, const Probleme& p, const Estimation& e);
void rapportEstimationJson(std::ostream& o, const Probleme& p, const Estimation& e);

}  // namespace egypte

#endif
