// The library's search as the engine runs it: what the public API leaves to
// the engine's defaults, set here by the transport of units to other
// processes and by the tests that hold every path against the plain walk.
#ifndef EGYPTE_INTERFACE_CHERCHER_H
#define EGYPTE_INTERFACE_CHERCHER_H

#include <cstddef>
#include <functional>
#include <string>

#include "egypte/egypte.h"
#include "egypte/journal.h"
#include "marche/cadre.h"

namespace egypte {

class Recherche;
class Reseau;

// Conduite: the plain walk or the fast search's settings, how units are cut,
// and the threads when the request leaves them to the engine (0).
struct Moteur : Conduite {
    // Where work units also go, given the search once set up (the model its
    // units are walked from); none when empty or when it gives nullptr.
    std::function<Reseau*(const Recherche&)> reseau;
};

Resultat chercher(const Probleme& p, const Demande& d, Recepteur* r, const Moteur& m);

// The heading line that names a computation in its journal (e: where its
// listing goes, nullptr when nowhere).
std::string enteteJournal(const Probleme& p, const Demande& d, const Ecrivain* e);

}  // namespace egypte

#endif
