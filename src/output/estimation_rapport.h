// The report of an estimate (--estimer): in French, one fact per line, or as
// one JSON object for scripts.
#ifndef EGYPTE_OUTPUT_ESTIMATION_RAPPORT_H
#define EGYPTE_OUTPUT_ESTIMATION_RAPPORT_H

#include <ostream>

#include "dialogue/commande.h"
#include "search/estimation.h"

namespace egypte {

void rapportEstimationTexte(std::ostream& o, const Commande& c, const Recherche& s, const Estimation& e);
void rapportEstimationJson(std::ostream& o, const Commande& c, const Recherche& s, const Estimation& e);

}  // namespace egypte

#endif
