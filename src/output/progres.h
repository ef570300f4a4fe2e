// Progress of a long search: a status line on standard error, when it is a
// terminal, and a budget of search steps for harnesses that must not run for
// ever. The search only calls tic() once per step; everything else happens
// once every PAS steps, out of line.
#ifndef EGYPTE_OUTPUT_PROGRES_H
#define EGYPTE_OUTPUT_PROGRES_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>

namespace egypte::progres {

// Steps between two looks at the clock and the budget.
constexpr std::uint32_t PAS = 1024;

// Steps since the last look, per thread; tic() is the whole cost in the hot
// loop, on every thread that walks.
extern thread_local std::uint32_t compteur;

// Spends the budget, and on the thread that started the search looks at the
// clock and draws the status line when it is due. Called by tic() once every
// PAS steps.
void regarder();

// One step of the search (a walk step, or a term of a largest-sum product).
inline void tic()
{
    if (++compteur >= PAS) regarder();
}

// Erases the status line if it is on the screen. Writes to standard output go
// through a relay that calls this first, so callers seldom need it.
void effacer();

// What a walk on several threads shows on the status line: written by the
// thread that displays the expansions, read by the one that draws the line.
struct Avancement {
    std::mutex verrou;
    std::string x1, x2;       // the node of the last work unit displayed
    std::int64_t solutions = 0;
    long faites = 0;          // work units displayed at the current length
    long total = 0;           // work units of the length; 0 = not counted
};

// Writes the text of the status line (without the carriage return).
using Description = std::function<void(std::ostream&)>;

// One search: while alive, and when the status stream is a terminal, the
// status line (its text written by `decrire`, on the thread that built the
// Suivi) may be drawn, and std::cout goes through the relay that erases it
// before any text. Erases the line when the search ends.
class Suivi {
public:
    explicit Suivi(Description decrire);
    ~Suivi();
    Suivi(const Suivi&) = delete;
    Suivi& operator=(const Suivi&) = delete;

private:
    bool relaye_ = false;
};

// Where and when the status line is drawn. The defaults suit a person at a
// terminal; tests draw into a file from the first look on.
struct Reglages {
    int fd = 2;                                  // status stream
    bool memeSansTerminal = false;               // draw even when fd is not a terminal
    std::chrono::milliseconds delai{1000};       // quiet time at the start of a search
    std::chrono::milliseconds intervalle{250};   // least time between two drawings
};
void regler(const Reglages& r);
Reglages reglages();

// Budget of the searches to come: after `regards` looks (regards * PAS steps)
// a search is stopped as by Ctrl-C. 0 = no budget (the default).
void limiter(std::uint64_t regards);

}  // namespace egypte::progres

#endif
