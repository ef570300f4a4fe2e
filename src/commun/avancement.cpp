// The Ctrl-C flag, the stop of each thread's search, the step budget and the
// hook of whoever watches a search.
#include "commun/avancement.h"

namespace egypte {

std::atomic<bool> interrompu{false};
thread_local std::atomic<bool>* arretPropre = nullptr;

}  // namespace egypte

namespace egypte::progres {

thread_local std::uint32_t compteur = 0;

namespace {

std::atomic<std::uint64_t> budget{0};   // looks allowed per search; 0 = unlimited
std::atomic<std::uint64_t> restant{0};  // looks left in this search (spent by every thread)
std::atomic<Regard> regard{nullptr};

}  // namespace

void regarder()
{
    compteur = 0;
    if (budget != 0) {
        std::uint64_t r = restant.load(std::memory_order_relaxed);
        while (r != 0 && !restant.compare_exchange_weak(r, r - 1, std::memory_order_relaxed)) {
        }
        if (r == 1) interrompu.store(true, std::memory_order_relaxed);
    }
    if (const Regard f = regard.load(std::memory_order_acquire)) f();
}

void limiter(std::uint64_t regards) { budget = regards; }

void commencer()
{
    compteur = 0;
    restant = budget.load();
}

void surRegard(Regard r) { regard.store(r, std::memory_order_release); }

}  // namespace egypte::progres
