// One denominator of a scan: its fractions searched one after the other on
// the calling thread, and the line they give as text, the form a journal
// records and a process sends to another.
#ifndef EGYPTE_BALAYAGE_LIGNE_BALAYAGE_H
#define EGYPTE_BALAYAGE_LIGNE_BALAYAGE_H

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "egypte/balayage.h"

namespace egypte {

// The next denominator of the scan after q (the first one when q < q1), or 0
// when none is left.
std::int64_t denominateurSuivant(const DemandeBalayage& d, std::int64_t q);

// The line of q; false when the stop flag cut one of its searches (the line
// is then not whole). `fractions` counts the searches done.
bool calculerLigne(const Probleme& contraintes, const DemandeBalayage& d, std::int64_t q, LigneBalayage& l,
                   std::int64_t& fractions);

// The same in the modes with a result per fraction (fractions_balayees.cpp),
// and that part of a line's text, after " F".
bool calculerFractions(const Probleme& contraintes, const DemandeBalayage& d, std::int64_t q, LigneBalayage& l,
                       std::int64_t& fractions);
void ecrireFractions(std::ostream& o, const LigneBalayage& l);
// A line's part of a scan's totals.
void ajouter(TotauxBalayage& t, const LigneBalayage& l);
bool lireFractions(std::istream& in, LigneBalayage& l);

// The records the line of q sets: the lengths it meets that no line before
// it met (`vues`, which it updates), in increasing length.
std::vector<RecordBalayage> nouveauxRecords(const LigneBalayage& l, std::vector<bool>& vues);

// "q sans k c1 p1 ... ck pk", then " L m" when m numerators stopped at the
// length limit, " E e" when the fast way left e to the exact search, then " F checked m" and m fractions in the modes with a
// result per fraction; lireLigne is false on anything else.
std::string texteLigne(const LigneBalayage& l);
bool lireLigne(const std::string& texte, LigneBalayage& l);

}  // namespace egypte

#endif
