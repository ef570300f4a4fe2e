// The walk of one length on several threads or processes, on behalf of the
// Recherche whose display the expansions reach. Shared by the two ways of
// walking the units: a oneTBB pipeline on this process's threads
// (parallele.cpp), or units dealt out to other processes and to a few
// threads here (repartition.cpp). Both replay the elements through the same
// routines, in the walk's order.
#ifndef EGYPTE_UNITES_PARCOURS_PARALLELE_H
#define EGYPTE_UNITES_PARCOURS_PARALLELE_H

#include <oneapi/tbb/enumerable_thread_specific.h>

#include <atomic>

#include "commun/avancement.h"
#include "marche/recherche.h"
#include "unites/unites.h"

namespace egypte {

class ParcoursParallele {
public:
    ParcoursParallele(Recherche& c, int fils) : c_(c), fils_(fils) {}
    // The whole walk from c_'s root (i = 0).
    Recherche::Issue parcourir();

private:
    Recherche& c_;
    const int fils_;
    std::atomic<bool> arret_{false};  // stop enumerating and walking
    // The stop of the search this walk is for (see arretPropre), taken from
    // the thread that walks and given to every thread of the pipeline.
    std::atomic<bool>* const arretRecherche_ = arretPropre;
    // The output shows so few expansions (one in every K, K large) that a
    // unit walked now keeps only its last one, and is walked again at its
    // replay if one of its expansions is shown after all. Set by the replay,
    // which knows the output's choice as it changes.
    std::atomic<bool> rares_{false};
    bool stoppe_ = false;             // the answer -1 stopped the listing
    long saut_ = 0;                   // elements that an earlier run finished (the front end's record)
    progres::Avancement avancement_;
    tbb::enumerable_thread_specific<Recherche> ouvriers_;

    // The walk from `depart` until it leaves the node x[1..kexit] (kexit = 0:
    // until it ends) or x[n-2] reaches `arret`, its units from depth ku down.
    void sousArbre(const Noeud& depart, int kexit, const NTL::ZZ& vexit, const NTL::ZZ& arret, int ku,
                   bool principal);
    void travailler(Element& e);
    // The replay of one element: its own expansions, then (when the unit
    // was cut at its quota) the walk of its rest, then its end.
    void consommer(Element& e, bool principal);
    // The first part: false when nothing more is to be done for e (an
    // element that an earlier run finished, or the walk stops here).
    bool rejouerElement(Element& e, bool principal);
    // The last part, once the rest of a cut unit has been replayed too.
    void terminer(Element& e);
    // The length's units dealt out to other processes (c_.reseau) and to
    // fils_ threads here (repartition.cpp).
    class Repartition;
    void repartir(const Noeud& racine, int ku);
    bool rejouer(const Collecte& c, bool dernierFinal);
    // Whether units may keep only their last expansion from now on.
    bool rares() const;
    // A unit that kept only its last expansion walked again whole, when the
    // output is to show one of them.
    void completer(Element& el);
};

}  // namespace egypte

#endif
