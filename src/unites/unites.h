// Work units: the walk of one length cut into ordered parts that can be
// walked apart. A unit is the subtree under a node x[1..k] that the walk
// itself reaches (or some values of x[n-2] under one parent); the walk above
// the units is enumerated in the walk's order, each unit is walked on its
// own by a Recherche of its own, and its expansions are collected in order.
//
// Why a unit can be walked on its own: the walk is a step machine whose state
// between two steps (i, x[1..i], minr[1..i], N/D) is a node whose step has not
// been taken yet, and the backtrack that finally leaves the subtree of a node
// at depth k does at depth k exactly what the walk's own backtrack called at
// depth k does (the positions below k are withdrawn only when their candidates
// are spent, and every minr below k is at least minr[k]). So the enumeration
// places the root of a unit and goes on with the backtrack at depth k, while a
// worker walks the unit until the walk leaves it.
#ifndef EGYPTE_UNITES_UNITES_H
#define EGYPTE_UNITES_UNITES_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "marche/recherche.h"
#include "marche/collecte.h"

namespace egypte {

// One element of the walk's order: a work unit, or the expansions that one
// step of the walk above the units met. A unit is the walk from its root
// until the walk leaves the node x[1..k] (its own root's node, or, for some
// values of x[n-2], their parent's), or until x[n-2] reaches `arret`.
struct Element {
    bool unite = false;
    long numero = -1;           // place in the walk's order of the length (-1: part of a unit cut in two)
    int k = 0;                  // unit: the depth of the node it ends with
    Noeud racine;               // unit: where it starts
    NTL::ZZ arret;              // unit of values of x[n-2]: the next unit's value; 0 = none
    Collecte trouves;           // the expansions, in the walk's order
    bool finit = false;         // the walk ends with this element
    bool dernierFinal = false;  // had -1 been answered at the last expansion, its step would still end the walk
    bool partiel = false;       // the unit held its quota: the rest of it from `reprise`
    Noeud reprise;
    bool finInterne = false;    // the walk ended inside the unit
    bool coupe = false;         // the unit was left unfinished (stop or Ctrl-C)
    std::int64_t pas = 0;       // unit: the walk steps it took
};

// Stop now: the walk's own stop, its search's or Ctrl-C.
inline bool arrete(const std::atomic<bool>& arret)
{
    return arret.load(std::memory_order_relaxed) || arrete();
}

// o <- the problem and the length of c, ready to walk a unit.
void preparer(Recherche& o, const Recherche& c);

// The walk above the units: runs the walk's own steps and backtracks, and
// stops at each unit's root.
class Enumeration {
public:
    // For the problem and length of `c`, from `depart` until the walk leaves
    // the node x[1..kexit] (kexit = 0: until it ends) or x[n-2] reaches
    // `arret` (0: never); units from depth ku down; numbered when `numeroter`.
    Enumeration(const Recherche& c, const Noeud& depart, int kexit, const NTL::ZZ& vexit, const NTL::ZZ& arret,
                int ku, bool numeroter);
    // The next element; nullptr at the end, or when `arret` or Ctrl-C is set.
    std::unique_ptr<Element> suivant(const std::atomic<bool>& arret);

private:
    bool sortie() const;
    std::unique_ptr<Element> element();
    // The walk's next valeursParUnite backtracks at x[n-2] at once, when
    // all of them only lower it; false, with nothing done, otherwise.
    bool sauterValeurs();

    Recherche e_;
    const int kexit_;
    const NTL::ZZ vexit_;
    const NTL::ZZ arret_;
    const int ku_;
    const bool numeroter_;  // number the elements (the length's own walk)
    long suivant_ = 0;
    Collecte trouves_;
};

// Walks the unit el on o (prepared for its problem): its expansions into
// el.trouves (only the last of them with derniereSeule, when the output shows
// none of them), its flags set; stops at once when `arret` or Ctrl-C is set.
void parcourirUnite(Recherche& o, Element& el, const std::atomic<bool>& arret, bool derniereSeule = false);

// The shallowest depth of units that gives at least `voulu` of them (at most
// n - 3) for the walk of c's length from its root; `total` gets their number
// (capped at `plafond`).
int choisirProfondeur(const Recherche& c, long voulu, long plafond, long& total);
long compterUnites(const Recherche& c, int ku, long plafond);

// For probes into the tree of the walk of c's length. The children of
// `noeud` (a node between two steps, at depth d <= n - 4; the root is i = 0)
// in the walk's order: the nodes of depth d + 1 that the walk reaches under
// it; `developpements` gets the expansions its own steps meet on the way.
std::vector<Noeud> enfants(const Recherche& c, const Noeud& noeud, std::size_t& developpements);
// The whole subtree of `noeud` (depth 1 to n - 3) walked on this thread: its
// expansions; `pas` gets its walk steps.
std::int64_t compterSousArbre(const Recherche& c, const Noeud& noeud, std::int64_t& pas);

}  // namespace egypte

#endif
