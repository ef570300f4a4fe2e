#include "dialogue/interruption.h"

#include <atomic>

#include "egypte/egypte.h"

namespace egypte {

namespace {

// Only sets the flag: the search sees it at its next step.
extern "C" void surInterruption(int) { interrompre(); }

std::atomic<int> dernierSignal{0};

const int ARRETS[3] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void surArret(int sig)
{
    dernierSignal.store(sig, std::memory_order_relaxed);
    interrompre();
}

void installer(void (*gestion)(int), struct sigaction& ancienne, int sig = SIGINT)
{
    struct sigaction nouvelle {};
    nouvelle.sa_handler = gestion;
    sigemptyset(&nouvelle.sa_mask);
    nouvelle.sa_flags = SA_RESTART;
    sigaction(sig, &nouvelle, &ancienne);
}

}  // namespace

EcouteInterruption::EcouteInterruption()
{
    effacerInterruption();
    installer(surInterruption, ancienne_);
}

EcouteInterruption::~EcouteInterruption() { sigaction(SIGINT, &ancienne_, nullptr); }

EcouteArret::EcouteArret()
{
    effacerInterruption();
    dernierSignal = 0;
    for (int k = 0; k < 3; k++) installer(surArret, anciennes_[k], ARRETS[k]);
}

EcouteArret::~EcouteArret()
{
    for (int k = 0; k < 3; k++) sigaction(ARRETS[k], &anciennes_[k], nullptr);
}

int EcouteArret::signal() { return dernierSignal.load(std::memory_order_relaxed); }

InterruptionParDefaut::InterruptionParDefaut() { installer(SIG_DFL, ancienne_); }

InterruptionParDefaut::~InterruptionParDefaut() { sigaction(SIGINT, &ancienne_, nullptr); }

}  // namespace egypte
