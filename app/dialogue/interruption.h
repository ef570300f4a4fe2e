// Ctrl-C during a search stops the computation, not the program; at a prompt
// it ends the program as usual.
#ifndef EGYPTE_DIALOGUE_INTERRUPTION_H
#define EGYPTE_DIALOGUE_INTERRUPTION_H

#include <signal.h>

namespace egypte {

// While alive, SIGINT only sets the flag interrompu (cleared on construction).
class EcouteInterruption {
public:
    EcouteInterruption();
    ~EcouteInterruption();
    EcouteInterruption(const EcouteInterruption&) = delete;
    EcouteInterruption& operator=(const EcouteInterruption&) = delete;

private:
    struct sigaction ancienne_;
};

// For the command line: while alive, SIGINT, SIGTERM (a job scheduler,
// timeout) and SIGHUP (a closed terminal) only set the flag interrompu
// (cleared on construction), so that what was found is written in whole
// lines, the report says the count is incomplete and the journal stays
// consistent. `signal()` is the last of them received, 0 when none.
class EcouteArret {
public:
    EcouteArret();
    ~EcouteArret();
    EcouteArret(const EcouteArret&) = delete;
    EcouteArret& operator=(const EcouteArret&) = delete;
    static int signal();

private:
    struct sigaction anciennes_[3];
};

// While alive, SIGINT has its default effect (used while waiting for input).
class InterruptionParDefaut {
public:
    InterruptionParDefaut();
    ~InterruptionParDefaut();
    InterruptionParDefaut(const InterruptionParDefaut&) = delete;
    InterruptionParDefaut& operator=(const InterruptionParDefaut&) = delete;

private:
    struct sigaction ancienne_;
};

}  // namespace egypte

#endif
