// How many threads a computation runs on: the one reading of EGYPTE_FILS,
// shared by the library and the command line.
#ifndef EGYPTE_COMMUN_FILS_H
#define EGYPTE_COMMUN_FILS_H

namespace egypte {

// Threads for a walk: `demande` when positive, else EGYPTE_FILS when it holds
// a positive number, else every core.
int nombreDeFils(int demande);

}  // namespace egypte

#endif
