// How many threads a computation runs on. EGYPTE_FILS is read by lireFils
// (egypte.h), as every front end reads it.
#ifndef EGYPTE_COMMUN_FILS_H
#define EGYPTE_COMMUN_FILS_H

namespace egypte {

// Threads for a walk: `demande` when positive, else EGYPTE_FILS when it holds
// a number lireFils reads, else every core.
int nombreDeFils(int demande);

}  // namespace egypte

#endif
