// The walk of one length on several threads. The walk is cut into ordered
// work units: the subtrees under the nodes x[1..k] that the walk itself
// reaches at a depth k (chosen so that units are many more than threads).
// One thread runs the walk above depth k (the enumeration of the units),
// workers walk the units, each with its own Recherche, and the expansions
// reach the display on one thread, in the walk's order, through the same
// livrer: the output is the one-thread output, byte for byte.
//
// Why a unit can be walked on its own: the walk is a step machine whose state
// between two steps (i, x[1..i], minr[1..i], N/D) is a node whose step has not
// been taken yet, and the backtrack that finally leaves the subtree of a node
// at depth k does at depth k exactly what the walk's own backtrack called at
// depth k does (the positions below k are withdrawn only when their candidates
// are spent, and every minr below k is at least minr[k]). So the enumeration
// places the root of a unit and goes on with the backtrack at depth k, while a
// worker walks the unit until the walk leaves it.
//
// Here: a oneTBB pipeline whose serial
// input filter enumerates the work units in the walk's order, whose parallel
// filter walks them, and whose serial output filter replays their expansions
// through the display, in order. The replay is what makes the output the
// one-thread output: the same livrer, on the same counters, fed with the
// same expansions in the same order.
#include "marche/collecte.h"
#include "commun/fils.h"

#include <oneapi/tbb/enumerable_thread_specific.h>
#include <oneapi/tbb/global_control.h>
#include <oneapi/tbb/parallel_pipeline.h>
#include <oneapi/tbb/task_arena.h>

#include <cstdlib>
#include <deque>
#include <map>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "commun/avancement.h"
#include "marche/recherche.h"
#include "unites/messages.h"
#include "unites/parcours_parallele.h"
#include "unites/unites.h"

namespace egypte {

namespace {

// The hand-over lock of the pipelines (see sousArbre). A lock of its own,
// reached without reading anything the filter was given, so that it is the
// first thing a filter touches.
std::mutex passageVerrou;

void passage() { const std::lock_guard<std::mutex> garde(passageVerrou); }

}  // namespace

void ParcoursParallele::travailler(Element& el)
{
    if (el.numero >= 0 && el.numero < saut_) return;  // done by an earlier run
    if (!el.unite) return;
    Recherche& o = ouvriers_.local();
    preparer(o, c_);
    parcourirUnite(o, el, arret_, rares_.load(std::memory_order_relaxed));
}

bool ParcoursParallele::rares() const
{
    // At most one shown in 16 units' worth of expansions: the walks again
    // cost at most a sixteenth of the walk, on the replaying thread.
    if (c_.sortie == nullptr || c_.reseau != nullptr || c_.sortie->compteSeulement()) return false;
    const std::int64_t k = c_.sortie->uneSur();
    return k > 0 && k / 16 >= static_cast<std::int64_t>(c_.cadre.plafondUnite);
}

void ParcoursParallele::completer(Element& el)
{
    Element tout;
    tout.unite = true;
    tout.numero = el.numero;
    tout.k = el.k;
    tout.racine = el.racine;
    tout.arret = el.arret;
    tout.finit = el.finit;
    Recherche& o = ouvriers_.local();
    preparer(o, c_);
    parcourirUnite(o, tout, arret_);
    if (tout.coupe) {
        el.coupe = true;
        return;
    }
    // The same walk to the same point: the quotas count the same steps and
    // expansions whatever is kept of them.
    if (tout.trouves.taille() != el.trouves.taille() || tout.partiel != el.partiel ||
        tout.dernierFinal != el.dernierFinal)
        throw std::logic_error("une unite parcourue a nouveau differe");
    el.trouves = std::move(tout.trouves);
}

bool ParcoursParallele::rejouer(const Collecte& c, bool dernierFinal)
{
    Recherche& s = c_;
    for (std::size_t j = 0; j < c.taille(); j++) {
        // An output that shows few of them takes them in batches.
        if (s.sortie != nullptr) {
            const std::size_t pris = s.sortie->lot(s, c, j);
            if (pris > j) {
                if (s.arretDemande) return pris == c.taille() && dernierFinal;
                j = pris - 1;
                continue;
            }
        }
        c.lire(j, s.marche.x);
        s.marche.prefixe++;
        s.livrer();
        // A stop asked for: the walk stops before its next step, unless the
        // step that met this expansion was its last.
        if (s.arretDemande) return j + 1 == c.taille() && dernierFinal;
    }
    return true;
}

void ParcoursParallele::consommer(Element& el, bool principal)
{
    if (!rejouerElement(el, principal)) return;
    // The rest of the unit, cut the same way: its subtrees from the node
    // where it stopped upward.
    try {
        if (el.partiel) sousArbre(el.reprise, el.k, el.racine.x[el.k], el.arret, el.k + 1, false);
    } catch (...) {
        arret_ = true;
        throw;
    }
    terminer(el);
}

bool ParcoursParallele::rejouerElement(Element& el, bool principal)
{
    if (arrete(arret_)) return false;
    if (el.numero >= 0 && el.numero < saut_) {
        const std::lock_guard<std::mutex> garde(avancement_.verrou);
        avancement_.faites += el.unite ? 1 : 0;
        return false;
    }
    if (el.unite && el.trouves.derniereSeule() && c_.sortie->montre(c_, el.trouves.taille())) completer(el);
    if (el.coupe) {
        // Here a unit is cut only when this walk stopped it, except on
        // another process, which stopped on a signal of its own (mpirun
        // sends each rank its own): the walk is then interrupted too, so that
        // the length is not taken for complete.
        arreterRecherche();
        arret_ = true;
        return false;
    }
    if (el.unite && principal) {
        std::ostringstream a, b;
        if (el.racine.i >= 1) a << el.racine.x[1];
        if (el.racine.i >= 2) b << el.racine.x[2];
        const std::lock_guard<std::mutex> garde(avancement_.verrou);
        avancement_.x1 = a.str();
        avancement_.x2 = b.str();
        avancement_.faites++;
    }
    try {
        if (!rejouer(el.trouves, el.finit && el.dernierFinal && !el.partiel)) {
            stoppe_ = true;
            arret_ = true;
            return false;
        }
    } catch (...) {
        // End of input at the paging question: every thread stops at once.
        arret_ = true;
        throw;
    }
    rares_.store(rares(), std::memory_order_relaxed);
    return true;
}

void ParcoursParallele::terminer(Element& el)
{
    if (arrete(arret_)) return;  // the element is not complete: not recorded
    if (c_.sortie != nullptr && el.numero >= 0) c_.sortie->uniteFaite(c_, el.numero);
    if (el.finInterne) arret_ = true;  // the walk is over
    const std::lock_guard<std::mutex> garde(avancement_.verrou);
    avancement_.solutions = c_.bilan.nombre;
}

void ParcoursParallele::sousArbre(const Noeud& depart, int kexit, const NTL::ZZ& vexit, const NTL::ZZ& arret,
                                  int ku, bool principal)
{
    Enumeration en(c_, depart, kexit, vexit, arret, ku, principal);
    // The elements in flight, oldest first: owned here, so that an exception
    // that ends the pipeline (end of input) frees them. Every filter takes
    // the lock as it starts and as it ends with an element: besides keeping
    // the list, it orders what one filter wrote before the next reads it in
    // terms that a race detector sees (the hand-over inside the library is
    // not instrumented), and this thread's own writes before all of them.
    std::deque<std::unique_ptr<Element>> vivants;
    passage();
    const std::size_t jetons = static_cast<std::size_t>(4 * fils_);
    tbb::parallel_pipeline(
        jetons,
        tbb::make_filter<void, Element*>(tbb::filter_mode::serial_in_order,
                                         [&](tbb::flow_control& fc) -> Element* {
                                             passage();
                                             // Each filter reads the search's stop after `passage`, which orders
                                             // it after this thread's write of it for a race detector too.
                                             const PourRecherche pour(arretRecherche_);
                                             std::unique_ptr<Element> el = en.suivant(arret_);
                                             if (!el) {
                                                 passage();
                                                 fc.stop();
                                                 return nullptr;
                                             }
                                             Element* p = el.get();
                                             const std::lock_guard<std::mutex> garde(passageVerrou);
                                             vivants.push_back(std::move(el));
                                             return p;
                                         }) &
            tbb::make_filter<Element*, Element*>(tbb::filter_mode::parallel,
                                                 [&](Element* el) {
                                                     passage();
                                                     const PourRecherche pour(arretRecherche_);
                                                     travailler(*el);
                                                     passage();
                                                     return el;
                                                 }) &
            tbb::make_filter<Element*, void>(tbb::filter_mode::serial_in_order, [&](Element* el) {
                passage();
                const PourRecherche pour(arretRecherche_);
                consommer(*el, principal);
                const std::lock_guard<std::mutex> garde(passageVerrou);
                vivants.pop_front();
            }));
    passage();
}

Recherche::Issue ParcoursParallele::parcourir()
{
    // The depth of the units: the shallowest that gives many more units than
    // threads (the deepest allowed is n - 3, above the positions that the
    // fast search runs through in one step).
    const int tous = fils_ + (c_.reseau != nullptr ? c_.reseau->fils() : 0);
    const long voulu = static_cast<long>(tous) * c_.cadre.unitesParFil;
    const long plafond = 1L << 20;
    long total = 0;
    int ku = choisirProfondeur(c_, voulu, plafond, total);
    // A front end that keeps a record of the units keeps their depth too.
    if (c_.sortie != nullptr) {
        const int k = c_.sortie->profondeur(c_.marche.n, ku);
        if (k != ku) total = compterUnites(c_, k, plafond);
        ku = k;
        saut_ = c_.sortie->unitesFaites(c_, c_.marche.n);
    }
    avancement_.total = total < plafond ? total : 0;
    avancement_.solutions = c_.bilan.nombre;
    c_.avancement = &avancement_;

    Noeud racine;
    racine.prendre(c_);
    {
        struct Retrait {
            Recherche& c;
            ~Retrait() { c.avancement = nullptr; }
        } retrait{c_};
        if (c_.reseau != nullptr) {
            repartir(racine, ku);
        } else {
            tbb::global_control limite(tbb::global_control::max_allowed_parallelism,
                                       static_cast<std::size_t>(fils_));
            tbb::task_arena arene(fils_);
            arene.execute([&] { sousArbre(racine, 0, NTL::ZZ(), NTL::ZZ(), ku, true); });
        }
    }
    c_.marche.i = -1;
    if (arrete()) return Recherche::Issue::interrompu;
    return stoppe_ ? Recherche::Issue::arrete : Recherche::Issue::trouve;
}

Recherche::Issue Recherche::parcourirSeul()
{
    while (marche.i >= 0) {
        if (arretDemande) return Issue::arrete;
        if (arrete()) return Issue::interrompu;
        pas();
        progres::tic();
    }
    // A bound that was stopped midway ended the walk: the length is not
    // complete, so neither its last line nor a report may follow.
    if (arrete()) return Issue::interrompu;
    return Issue::trouve;
}

Recherche::Issue Recherche::parcourirLongueur()
{
    const int k = nombreDeFils(cadre.fils);
    // Units sit at depth 1 to n - 3: a shorter walk stays on one thread. A
    // front end that keeps a record of the units has them even on one.
    if ((k <= 1 && (sortie == nullptr || !sortie->enregistre()) && reseau == nullptr) || marche.i < 0 || marche.n < 4 ||
        collecte != nullptr)
        return parcourirSeul();
    ParcoursParallele pp(*this, k);
    return pp.parcourir();
}

}  // namespace egypte