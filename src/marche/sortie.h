// Where the expansions of a search go when a front end other than the
// dialogue shows them (the command line), and what such a front end keeps of
// a computation so that a stopped one can be resumed.
#ifndef EGYPTE_MARCHE_SORTIE_H
#define EGYPTE_MARCHE_SORTIE_H

#include <NTL/ZZ.h>

#include <cstddef>
#include <cstdint>

namespace egypte {

class Recherche;
class Collecte;

class Sortie {
public:
    virtual ~Sortie() = default;

    // One expansion, in s.marche.x[1..n]: counts it with its extremes in
    // s.bilan, shows it or not; sets s.arretDemande to stop the search.
    virtual void developpement(Recherche& s) = 0;
    // `nombre` expansions at once, the last of them in s.marche.x[1..n] (the
    // last in the walk's order, which has the largest xn of them) and the xn
    // of the first, their smallest, in `plusPetitXn`, when none of them is to
    // be shown: counts them and keeps the extremes as developpement would.
    // False, with nothing done, when one may be shown: they then go one by
    // one through developpement.
    virtual bool developpements(Recherche& s, std::int64_t nombre, const NTL::ZZ& plusPetitXn) = 0;
    // The expansions of c from `debut` on at once, when this output can take
    // them so (when it shows few of them): returns the index of the first it
    // did not take (`debut`: none, they go one by one through developpement).
    // It stops after one that stops the search or changes what is shown.
    virtual std::size_t lot(Recherche& s, const Collecte& c, std::size_t debut) = 0;
    // Shows none of the expansions: work units need only count them.
    virtual bool compteSeulement() const = 0;
    // Under one in every K: K (INT64_MAX when no other is shown after the
    // first); otherwise 0. Work units of a walk that shows that few need not
    // keep their expansions.
    virtual std::int64_t uneSur() const = 0;
    // Whether one of the next `nombre` expansions is to be shown (or may be,
    // by a choice that shows them all or the first ones).
    virtual bool montre(Recherche& s, std::size_t nombre) = 0;
    // Keeps a record of the work units (a journal): the walk is cut into
    // units even on one thread.
    virtual bool enregistre() const = 0;

    // The length n was walked to the end without an expansion, by this run
    // or by an earlier run of the same computation.
    virtual void longueurFaite(int n) = 0;
    virtual bool longueurVide(int n) = 0;
    // The depth of the work units of length n: the one an earlier run used,
    // or `choisie`, which is then kept.
    virtual int profondeur(int n, int choisie) = 0;
    // How many work units of length n, in the walk's order, an earlier run
    // finished; the state of the search after them is restored in s.
    virtual long unitesFaites(Recherche& s, int n) = 0;
    // The work unit `numero` of length n is finished and shown.
    virtual void uniteFaite(Recherche& s, long numero) = 0;
};

}  // namespace egypte

#endif
