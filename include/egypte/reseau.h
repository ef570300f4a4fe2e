// The work units of a search dealt out to other processes (an MPI job, or
// any transport of text messages): the process that runs the search hands
// units to a Transport and replays what comes back in the walk's order, so
// that its listing, count and report are those of one process; the other
// processes walk the units they receive with an Ouvrier. Units and results
// travel as text, opaque to the transport.
#ifndef EGYPTE_RESEAU_H
#define EGYPTE_RESEAU_H

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/egypte.h"

namespace egypte {

// Units in hand per thread of a process that walks them: units that only
// count are small, so many wait, which hides the time messages take; units
// that list hold up to a quota of expansions each.
inline int placesParFil(bool listees) { return listees ? 4 : 64; }
// How often a process that deals out or walks units looks at its messages
// when it has nothing else to do.
constexpr std::chrono::microseconds PAUSE{2000};

// The side of the process that runs the search.
class Transport {
public:
    virtual ~Transport() = default;
    // The threads of the other processes, all together (how finely the walk
    // is cut depends on it).
    virtual int fils() const = 0;
    // How many more units the other processes can take now.
    virtual int places() = 0;
    // Unit `id` of length n, as text, to a process with a free place; it may
    // wait in a buffer until expedier.
    virtual void confier(int n, long id, const std::string& unite) = 0;
    virtual void expedier() = 0;
    // The results that came back since the last call, by id. Does not wait.
    virtual std::vector<std::pair<long, std::string>> recevoir() = 0;
    // The search stops: the units out there stop at once and come back cut.
    virtual void arreter() = 0;
};

// The search of chercher, its units dealt out through `t` and walked by this
// process's threads too. Throws Erreur(message) when a result cannot be read.
Resultat chercher(const Probleme& p, const Demande& d, Recepteur* r, Transport& t);

// The side of a process that walks units, on threads of its own.
class Ouvrier {
public:
    // The problem and the request of the search (what it shows decides what
    // a unit keeps); `fils` threads.
    Ouvrier(const Probleme& p, const Demande& d, int fils);
    ~Ouvrier();  // waits for the units in hand
    Ouvrier(const Ouvrier&) = delete;
    Ouvrier& operator=(const Ouvrier&) = delete;

    // Walks unit `id` of length n. Throws Erreur(message) when it cannot be read.
    void confier(int n, long id, const std::string& unite);
    // The results of the units done, by id: waits at most `attente`, less
    // when half of the units in hand are done.
    std::vector<std::pair<long, std::string>> finis(std::chrono::microseconds attente);
    // The units in hand stop at once and their results say so; the units
    // confided once none is in hand walk again.
    void arreter();

private:
    struct Etat;
    std::unique_ptr<Etat> etat_;
};

// The scan of balayer, its denominators dealt out through `t` (each unit is
// one q, its result the line of q) and scanned by this process's threads
// too. Throws Erreur(message) when a line cannot be read.
ResultatBalayage balayer(const Probleme& contraintes, const DemandeBalayage& d, RecepteurBalayage& r,
                         Transport& t);

// The side of a process that scans the denominators it is dealt, on threads
// of its own; the same calls as Ouvrier.
class OuvrierBalayage {
public:
    OuvrierBalayage(const Probleme& contraintes, const DemandeBalayage& d, int fils);
    ~OuvrierBalayage();  // waits for the denominators in hand
    OuvrierBalayage(const OuvrierBalayage&) = delete;
    OuvrierBalayage& operator=(const OuvrierBalayage&) = delete;

    // The denominator `unite` (`id` comes back with its line; n is not read).
    // Throws Erreur(message) when it cannot be read.
    void confier(int n, long id, const std::string& unite);
    std::vector<std::pair<long, std::string>> finis(std::chrono::microseconds attente);
    // The denominators not begun come back cut; those begun are finished.
    void arreter();

private:
    struct Etat;
    std::unique_ptr<Etat> etat_;
};

}  // namespace egypte

#endif
