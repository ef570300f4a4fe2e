// The walk of one length with its units dealt out to other processes (through
// a Reseau) and to a few threads of this process, and replayed here in the
// walk's order by the same routines as the pipeline's.
//
// The walk's order is kept as a list: elements (walked elsewhere, or ready)
// and markers. A marker closes a stream of elements that all come before it:
// the length's own enumeration (its marker is last), or the rest of a unit
// cut at its quota (its marker sits right after the unit, so the rest comes
// between the unit and whatever followed it). The rest of a cut unit is dealt
// out as soon as the unit comes back, not when the replay reaches it, and
// the unit's end (its record in the journal) waits for its marker. New units
// come from the first stream in the order that does not hold its share of
// elements ahead of the replay, so the earliest work goes first. The replay
// follows the list alone: which stream gives first changes only the speed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <list>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "unites/atelier.h"
#include "unites/parcours_parallele.h"
#include "unites/messages.h"

namespace egypte {

namespace {

struct Place {
    std::unique_ptr<Element> el;  // an element; in a marker, the cut unit it ends (once replayed)
    bool pret = false;            // element: walked, or nothing to walk
    bool marque = false;
    std::unique_ptr<Enumeration> flux;  // marker: the elements still to come (none: all came)
    bool principal = false;             // from the length's own enumeration
    std::list<Place>::iterator fin;     // a unit cut at its quota: the marker of its rest
    std::list<Place>::iterator source;  // element: the marker of its stream
    // Element: its place in the walk's order as a path (the numbers of the
    // elements of the streams it descends from, then its own); marker: the
    // path of the unit whose rest it ends (empty for the length's own).
    std::vector<long> chemin;
    long suivant = 0;         // marker: the number of its next element
    std::size_t dedans = 0;   // marker: its elements given and not replayed yet
};

// The ids of the units dealt out run on from one walk to the next, so that a
// result left over from an earlier walk could never be taken for another's.
std::atomic<long> prochainId{0};

// How many streams, first in the walk's order, may give elements at once.
constexpr int SUIVANTS = 16;

// The markers of the streams still giving elements, in the walk's order: a
// stream comes before the stream of the unit it is the rest of, and after
// what comes before that unit.
struct AvantFlux {
    bool operator()(const std::vector<long>& a, const std::vector<long>& b) const
    {
        // A path that begins another comes before it: that unit's rest comes
        // before the rest of its stream.
        const std::size_t k = std::min(a.size(), b.size());
        for (std::size_t j = 0; j < k; j++)
            if (a[j] != b[j]) return a[j] < b[j];
        return a.size() > b.size();
    }
};

}  // namespace

// One walk of one length dealt out: the walk's order, the streams that give
// its elements, the elements being walked, and the threads of this process.
class ParcoursParallele::Repartition {
public:
    Repartition(ParcoursParallele& pp, const Noeud& racine, int ku);
    Repartition(const Repartition&) = delete;
    Repartition& operator=(const Repartition&) = delete;
    // Replays what is ready, deals out new elements and takes back the
    // walked ones until the walk's order is empty or the walk stops.
    void executer();

private:
    using Iter = std::list<Place>::iterator;

    // m becomes the marker of a stream of elements, en, whose path is chemin.
    void nouveauFlux(Iter m, std::unique_ptr<Enumeration> en, std::vector<long> chemin);
    // The element `id` came back walked.
    void pret(long id);
    // New elements, from the first stream in the walk's order, while there
    // are places to walk them; whether any came.
    bool remplir();
    // In the walk's order, what is ready; whether anything was.
    bool rejouerPrets();
    // Stopped: what is out is waited for and dropped, so that no message is
    // left behind for the next length.
    void vider();

    ParcoursParallele& pp_;
    Recherche& c_;
    Reseau& r_;
    std::list<Place> ordre_;
    std::map<std::vector<long>, Iter, AvantFlux> flux_;
    std::map<long, Iter> dehors_;     // being walked, by id
    std::map<long, Element*> loin_;   // the same, for those out there
    // Elements walked ahead of the replay are held until it reaches them: a
    // stream gives new ones while fewer than `plafond_` of its own are held.
    // Units that only count hold no expansion, so they may run far ahead of
    // a slow unit (a single step of the fast search can take seconds); units
    // that list hold up to their quota of expansions each.
    const bool stocke_;
    const std::size_t plafond_;
    const std::size_t placesIci_;
    Atelier atelier_;  // last: its threads end before the elements go
};

ParcoursParallele::Repartition::Repartition(ParcoursParallele& pp, const Noeud& racine, int ku)
    : pp_(pp),
      c_(pp.c_),
      r_(*pp.c_.reseau),
      stocke_(!(c_.compteSeul || (c_.sortie != nullptr && c_.sortie->compteSeulement()))),
      plafond_((stocke_ ? 4 : 256) * static_cast<std::size_t>(pp.fils_ + r_.fils())),
      placesIci_(static_cast<std::size_t>(placesParFil(stocke_) * pp.fils_)),
      atelier_(pp.fils_, pp.arret_, placesIci_ / 2)
{
    ordre_.emplace_back();
    ordre_.back().principal = true;
    nouveauFlux(std::prev(ordre_.end()),
                std::make_unique<Enumeration>(c_, racine, 0, NTL::ZZ(), NTL::ZZ(), ku, true), {});
}

void ParcoursParallele::Repartition::nouveauFlux(Iter m, std::unique_ptr<Enumeration> en, std::vector<long> chemin)
{
    m->marque = true;
    m->flux = std::move(en);
    m->chemin = std::move(chemin);
    flux_[m->chemin] = m;
}

void ParcoursParallele::Repartition::pret(long id)
{
    const auto it = dehors_.at(id);
    dehors_.erase(id);
    loin_.erase(id);
    it->pret = true;
    const Element& el = *it->el;
    if (el.partiel && !el.coupe) {
        const auto m = ordre_.insert(std::next(it), Place{});
        nouveauFlux(m,
                    std::make_unique<Enumeration>(c_, el.reprise, el.k, el.racine.x[el.k], el.arret, el.k + 1, false),
                    it->chemin);
        it->fin = m;
    }
}

bool ParcoursParallele::Repartition::remplir()
{
    bool bouge = false;
    while (!flux_.empty() && (r_.places() > 0 || atelier_.enCours() < placesIci_)) {
        // A stream that holds its share waits for the replay, which may
        // itself wait for one slow unit: the next streams in the order
        // (the rests of the units that follow, the length's own) go on.
        auto f = flux_.begin();
        for (int vus = 1; f != flux_.end() && f->second->dedans >= plafond_ && vus < SUIVANTS; vus++) ++f;
        if (f == flux_.end() || f->second->dedans >= plafond_) break;
        Place& m = *f->second;
        std::unique_ptr<Element> el = m.flux->suivant(pp_.arret_);
        if (!el) {
            m.flux.reset();
            flux_.erase(f);
            continue;
        }
        bouge = true;
        const auto it = ordre_.insert(f->second, Place{});
        it->principal = m.principal;
        it->source = f->second;
        it->chemin = m.chemin;
        it->chemin.push_back(m.suivant++);
        it->el = std::move(el);
        m.dedans++;
        Element& e = *it->el;
        if (!e.unite || (e.numero >= 0 && e.numero < pp_.saut_)) {
            it->pret = true;
            continue;
        }
        const long id = prochainId++;
        dehors_[id] = it;
        if (r_.places() > 0) {
            loin_[id] = &e;
            r_.confier(c_.marche.n, id, e);
        } else {
            atelier_.confier(id, &e, &c_);
        }
    }
    r_.expedier();
    return bouge;
}

bool ParcoursParallele::Repartition::rejouerPrets()
{
    bool bouge = false;
    while (!ordre_.empty() && !arrete(pp_.arret_)) {
        Place& t = ordre_.front();
        if (t.marque) {
            if (t.flux) break;  // its stream is not over
            if (t.el) pp_.terminer(*t.el);
        } else {
            if (!t.pret) break;
            t.source->dedans--;
            if (pp_.rejouerElement(*t.el, t.principal)) {
                if (t.el->partiel) {
                    t.el->trouves = Collecte();  // replayed: only its end is left
                    t.fin->el = std::move(t.el);
                } else {
                    pp_.terminer(*t.el);
                }
            }
        }
        ordre_.pop_front();
        bouge = true;
    }
    return bouge;
}

void ParcoursParallele::Repartition::vider()
{
    r_.expedier();  // units handed but not sent yet (an exception in remplir)
    r_.arreter();
    while (!loin_.empty()) {
        for (long id : r_.recevoir(loin_)) loin_.erase(id);
        if (!loin_.empty()) std::this_thread::sleep_for(PAUSE);
    }
    atelier_.attendre();
}

void ParcoursParallele::Repartition::executer()
{
    try {
        for (;;) {
            bool bouge = rejouerPrets();
            if (arrete(pp_.arret_) || ordre_.empty()) break;
            bouge = remplir() || bouge;
            for (long id : r_.recevoir(loin_)) {
                pret(id);
                bouge = true;
            }
            // With nothing else to do, this thread waits for its own threads'
            // units, and looks at the network again after a short while.
            const auto attente = bouge ? std::chrono::microseconds(0) : PAUSE;
            for (long id : atelier_.finis(attente)) pret(id);
        }
    } catch (...) {
        pp_.arret_ = true;
        vider();
        throw;
    }
    if (!loin_.empty() || atelier_.enCours() > 0) vider();
}

void ParcoursParallele::repartir(const Noeud& racine, int ku) { Repartition(*this, racine, ku).executer(); }

}  // namespace egypte
