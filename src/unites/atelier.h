// A few threads that walk work units handed to them one at a time and say
// which ones are done, for a caller that does something else meanwhile (the
// process that deals units out and replays them, or a process that walks
// units for it and talks to it between two units). Each thread walks with a
// Recherche of its own; the hand-over goes through one lock, so that a race
// detector sees every element change hands.
#ifndef EGYPTE_UNITES_ATELIER_H
#define EGYPTE_UNITES_ATELIER_H

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace egypte {

class Recherche;
struct Element;

class Atelier {
public:
    // `fils` threads (at least 0: an atelier that walks nothing); a unit in
    // hand stops at once when `arret` or Ctrl-C is set. A caller waiting in
    // finis is woken when a unit ends with at most `reveil` units left in
    // hand: the caller then brings more before the threads run dry, and
    // otherwise sleeps through its whole pause, which leaves the cores to
    // the walks.
    Atelier(int fils, const std::atomic<bool>& arret, std::size_t reveil = 0);
    ~Atelier();  // waits for the units in hand
    Atelier(const Atelier&) = delete;
    Atelier& operator=(const Atelier&) = delete;

    int fils() const { return static_cast<int>(fils_.size()); }
    // Units handed and not yet reported done.
    std::size_t enCours() const { return enCours_; }
    // Walks el (a unit of the problem and length of `modele`, which stays
    // unchanged until el is done) on the first free thread.
    void confier(long id, Element* el, const Recherche* modele);
    // The ids of the units done since the last call (the exception of a unit
    // that threw instead, once; that unit is then marked cut); when there are none,
    // waits for one at most `attente` (also the caller's pause when it has
    // nothing else to do).
    std::vector<long> finis(std::chrono::microseconds attente);
    // Waits until every unit handed is done (and reported by finis).
    void attendre();

private:
    struct Tache {
        long id;
        Element* el;
        const Recherche* modele;
    };
    void travailler();

    const std::atomic<bool>& arret_;
    std::mutex verrou_;
    std::condition_variable travail_, fait_;
    std::deque<Tache> file_;
    std::vector<long> finis_;
    std::exception_ptr erreur_;
    bool fin_ = false;
    std::size_t enMain_ = 0;  // handed and not ended yet (under the lock)
    const std::size_t reveil_;
    std::size_t enCours_ = 0;  // the caller's own count
    std::vector<std::thread> fils_;
};

}  // namespace egypte

#endif
