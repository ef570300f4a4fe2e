// The library's search, for the MPI program: the same as egypte::chercher,
// with the work units dealt out to other processes through `reseau`.
#ifndef EGYPTE_API_CHERCHER_H
#define EGYPTE_API_CHERCHER_H

#include "egypte/egypte.h"

namespace egypte {

class Reseau;

Resultat chercher(const Probleme& p, const Demande& d, Recepteur* r, Reseau* reseau);

// The heading line that names a computation in its journal.
std::string enteteJournal(const Probleme& p, const Demande& d);

}  // namespace egypte

#endif
