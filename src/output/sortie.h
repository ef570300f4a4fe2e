// Output of a computation: each expansion with the paging question, and the
// final report.
#ifndef EGYPTE_OUTPUT_SORTIE_H
#define EGYPTE_OUTPUT_SORTIE_H

#include <cstdint>

namespace egypte {

// Counts, shows (by the paging mode L) and pages the expansion in x[1..n];
// returns the new K1.
std::int64_t affiche();

// Writes the final report of the computation.
void resultat();

}  // namespace egypte

#endif
