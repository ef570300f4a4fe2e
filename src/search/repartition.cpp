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

#include "search/atelier.h"
#include "search/parcours_parallele.h"
#include "search/reseau.h"

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

void ParcoursParallele::repartir(const Noeud& racine, int ku)
{
    Reseau& r = *c_.reseau;
    std::list<Place> ordre;
    std::map<std::vector<long>, std::list<Place>::iterator, AvantFlux> flux;
    const auto nouveauFlux = [&](std::list<Place>::iterator m, std::unique_ptr<Enumeration> en,
                                 std::vector<long> chemin) {
        m->marque = true;
        m->flux = std::move(en);
        m->chemin = std::move(chemin);
        flux[m->chemin] = m;
    };
    ordre.emplace_back();
    ordre.back().principal = true;
    nouveauFlux(std::prev(ordre.end()),
                std::make_unique<Enumeration>(c_, racine, 0, NTL::ZZ(), NTL::ZZ(), ku, true), {});
    std::map<long, std::list<Place>::iterator> dehors;  // being walked, by id
    std::map<long, Element*> loin;                      // the same, for those out there
    // Elements walked ahead of the replay are held until it reaches them: a
    // stream gives new ones while fewer than `plafond` of its own are held.
    // Units that only count hold no expansion, so they may run far ahead of
    // a slow unit (a single step of the fast search can take seconds); units
    // that list hold up to their quota of expansions each.
    const bool stocke = !(c_.compteSeul || (c_.sortie != nullptr && c_.sortie->compteSeulement()));
    const std::size_t tous = static_cast<std::size_t>(fils_ + r.fils());
    const std::size_t plafond = (stocke ? 4 : 256) * tous;
    const std::size_t placesIci = static_cast<std::size_t>(placesParFil(stocke) * fils_);
    Atelier atelier(fils_, arret_, placesIci / 2);  // after the list: its threads end before the elements go

    const auto pret = [&](long id) {
        const auto it = dehors.at(id);
        dehors.erase(id);
        loin.erase(id);
        it->pret = true;
        const Element& el = *it->el;
        if (el.partiel && !el.coupe) {
            const auto m = ordre.insert(std::next(it), Place{});
            nouveauFlux(m,
                        std::make_unique<Enumeration>(c_, el.reprise, el.k, el.racine.x[el.k], el.arret, el.k + 1,
                                                      false),
                        it->chemin);
            it->fin = m;
        }
    };
    // New elements, from the first stream in the walk's order, while there
    // are places to walk them.
    const auto remplir = [&]() {
        bool bouge = false;
        while (!flux.empty() && (r.places() > 0 || atelier.enCours() < placesIci)) {
            // A stream that holds its share waits for the replay, which may
            // itself wait for one slow unit: the next streams in the order
            // (the rests of the units that follow, the length's own) go on.
            auto f = flux.begin();
            for (int vus = 1; f != flux.end() && f->second->dedans >= plafond && vus < SUIVANTS; vus++) ++f;
            if (f == flux.end() || f->second->dedans >= plafond) break;
            Place& m = *f->second;
            std::unique_ptr<Element> el = m.flux->suivant(arret_);
            if (!el) {
                m.flux.reset();
                flux.erase(f);
                continue;
            }
            bouge = true;
            const auto it = ordre.insert(f->second, Place{});
            it->principal = m.principal;
            it->source = f->second;
            it->chemin = m.chemin;
            it->chemin.push_back(m.suivant++);
            it->el = std::move(el);
            m.dedans++;
            Element& e = *it->el;
            if (!e.unite || (e.numero >= 0 && e.numero < saut_)) {
                it->pret = true;
                continue;
            }
            const long id = prochainId++;
            dehors[id] = it;
            if (r.places() > 0) {
                loin[id] = &e;
                r.confier(c_.n, id, e);
            } else {
                atelier.confier(id, &e, &c_);
            }
        }
        r.expedier();
        return bouge;
    };
    // In the walk's order, what is ready.
    const auto rejouerPrets = [&]() {
        bool bouge = false;
        while (!ordre.empty() && !arrete(arret_)) {
            Place& t = ordre.front();
            if (t.marque) {
                if (t.flux) break;  // its stream is not over
                if (t.el) terminer(*t.el);
            } else {
                if (!t.pret) break;
                t.source->dedans--;
                if (rejouerElement(*t.el, t.principal)) {
                    if (t.el->partiel) {
                        t.el->trouves = Collecte();  // replayed: only its end is left
                        t.fin->el = std::move(t.el);
                    } else {
                        terminer(*t.el);
                    }
                }
            }
            ordre.pop_front();
            bouge = true;
        }
        return bouge;
    };
    // Stopped: what is out is waited for and dropped, so that no message is
    // left behind for the next length.
    const auto vider = [&]() {
        r.expedier();  // units handed but not sent yet (an exception in remplir)
        r.arreter();
        while (!loin.empty()) {
            for (long id : r.recevoir(loin)) loin.erase(id);
            if (!loin.empty()) std::this_thread::sleep_for(PAUSE);
        }
        atelier.attendre();
    };

    try {
        for (;;) {
            bool bouge = rejouerPrets();
            if (arrete(arret_) || ordre.empty()) break;
            bouge = remplir() || bouge;
            for (long id : r.recevoir(loin)) {
                pret(id);
                bouge = true;
            }
            // With nothing else to do, this thread waits for its own threads'
            // units, and looks at the network again after a short while.
            const auto attente = bouge ? std::chrono::microseconds(0) : PAUSE;
            for (long id : atelier.finis(attente)) pret(id);
        }
    } catch (...) {
        arret_ = true;
        vider();
        throw;
    }
    if (!loin.empty() || atelier.enCours() > 0) vider();
}

}  // namespace egypte
