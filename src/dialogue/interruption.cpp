#include "dialogue/interruption.h"

#include "search/etat.h"

namespace egypte {

namespace {

// Only sets the flag: the search sees it at its next step.
extern "C" void surInterruption(int) { interrompu.store(true, std::memory_order_relaxed); }

void installer(void (*gestion)(int), struct sigaction& ancienne)
{
    struct sigaction nouvelle {};
    nouvelle.sa_handler = gestion;
    sigemptyset(&nouvelle.sa_mask);
    nouvelle.sa_flags = SA_RESTART;
    sigaction(SIGINT, &nouvelle, &ancienne);
}

}  // namespace

EcouteInterruption::EcouteInterruption()
{
    interrompu = false;
    installer(surInterruption, ancienne_);
}

EcouteInterruption::~EcouteInterruption() { sigaction(SIGINT, &ancienne_, nullptr); }

InterruptionParDefaut::InterruptionParDefaut() { installer(SIG_DFL, ancienne_); }

InterruptionParDefaut::~InterruptionParDefaut() { sigaction(SIGINT, &ancienne_, nullptr); }

}  // namespace egypte
