// The status line of a long search, on standard error when it is a terminal.
// It is drawn when the search looks in (every PAS steps, see
// commun/avancement.h), never from the search's own steps.
#ifndef EGYPTE_COMMUN_PROGRES_H
#define EGYPTE_COMMUN_PROGRES_H

#include <chrono>
#include <functional>
#include <ostream>

namespace egypte::progres {

// Erases the status line if it is on the screen. Writes to standard output go
// through a relay that calls this first, so callers seldom need it.
void effacer();

// Writes the text of the status line (without the carriage return).
using Description = std::function<void(std::ostream&)>;

// One search: while alive, and when the status stream is a terminal, the
// status line (its text written by `decrire`, on the thread that built the
// Suivi) may be drawn, and std::cout goes through the relay that erases it
// before any text. Erases the line when the search ends. Building one starts
// the search's step budget afresh (progres::commencer).
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

}  // namespace egypte::progres

#endif
