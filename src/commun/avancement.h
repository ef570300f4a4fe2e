// How a search advances and when it stops: the Ctrl-C flag that every search
// of the process looks at, the stop of one search alone, the count of search
// steps against a budget (for harnesses that must not run for ever), and
// what a walk on several threads says of its progress. The search only calls
// tic() once per step; everything else happens once every PAS steps, out of
// line, where a front end that shows the progress (the status line) may look
// in.
#ifndef EGYPTE_COMMUN_AVANCEMENT_H
#define EGYPTE_COMMUN_AVANCEMENT_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace egypte {

// Set by Ctrl-C (or a step budget): every search of the process stops at its
// next step. The one value all searches share.
extern std::atomic<bool> interrompu;

// The stop of the one search this thread works for (Demande::arret), or
// nullptr: a front end that runs several searches at once in one process
// stops one of them without a flag that the others share, or that one of
// them would clear while another has not looked at it yet.
extern thread_local std::atomic<bool>* arretPropre;

// Whether the search of this thread is to stop: looked at inside the fast
// search's loops.
inline bool arrete()
{
    if (interrompu.load(std::memory_order_relaxed)) return true;
    const std::atomic<bool>* a = arretPropre;
    return a != nullptr && a->load(std::memory_order_relaxed);
}

// Stops the search of this thread on all its threads, as Ctrl-C would: its
// own stop when it has one, the process's flag otherwise (the other
// processes of a walk learn it from there).
inline void arreterRecherche()
{
    if (arretPropre != nullptr) arretPropre->store(true, std::memory_order_relaxed);
    else interrompu.store(true, std::memory_order_relaxed);
}

// While alive, this thread works for the search whose stop is `a`; nullptr
// keeps the one it has (a search run inside another one's thread, as the
// scan's are, stops with it). Every thread a search starts or borrows takes
// one with the stop of the thread that started the search.
class PourRecherche {
public:
    explicit PourRecherche(std::atomic<bool>* a) : avant_(arretPropre)
    {
        if (a != nullptr) arretPropre = a;
    }
    ~PourRecherche() { arretPropre = avant_; }
    PourRecherche(const PourRecherche&) = delete;
    PourRecherche& operator=(const PourRecherche&) = delete;

private:
    std::atomic<bool>* avant_;
};

}  // namespace egypte

namespace egypte::progres {

// Steps between two looks at the budget (and at the clock of a status line).
constexpr std::uint32_t PAS = 1024;

// Steps since the last look, per thread; tic() is the whole cost in the hot
// loop, on every thread that walks.
extern thread_local std::uint32_t compteur;

// Spends the budget, then lets the front end that watches the search look in
// (see surRegard). Called by tic() once every PAS steps.
void regarder();

// One step of the search (a walk step, or a term of a largest-sum product).
inline void tic()
{
    if (++compteur >= PAS) regarder();
}

// Budget of the searches to come: after `regards` looks (regards * PAS steps)
// a search is stopped as by Ctrl-C. 0 = no budget (the default).
void limiter(std::uint64_t regards);

// A search starts: this thread's count from zero and the whole budget again.
void commencer();

// Called by regarder on every thread that walks, after the budget is spent:
// the status line hooks in here, so that the search knows nothing of it.
// nullptr (the default) = nobody watches.
using Regard = void (*)();
void surRegard(Regard r);

// What a walk on several threads shows on the status line: written by the
// thread that displays the expansions, read by the one that draws the line.
struct Avancement {
    std::mutex verrou;
    std::string x1, x2;       // the node of the last work unit displayed
    std::int64_t solutions = 0;
    long faites = 0;          // work units displayed at the current length
    long total = 0;           // work units of the length; 0 = not counted
};

}  // namespace egypte::progres

#endif
