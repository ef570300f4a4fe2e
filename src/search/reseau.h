// The work units of a walk dealt out to other processes (the MPI front end):
// what the walk asks of them, whatever carries the messages. The process that
// displays enumerates the units, hands them out through a Reseau, and replays
// what comes back in the walk's order, exactly as it replays its own threads'
// units.
#ifndef EGYPTE_SEARCH_RESEAU_H
#define EGYPTE_SEARCH_RESEAU_H

#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include "search/unites.h"

namespace egypte {

class Reseau {
public:
    virtual ~Reseau() = default;
    // A process is ready for more units.
    virtual bool libre() = 0;
    // How many units to hand a process at once (a few per thread there).
    virtual int lot() const = 0;
    // Hands these units of length n to a free process.
    virtual void envoyer(int n, const std::vector<Element*>& unites) = 0;
    // Waits for one process's results and writes them into the units they
    // belong to (found in `dehors` by their number); returns those numbers.
    virtual std::vector<long> recevoir(std::map<long, std::unique_ptr<Element>>& dehors) = 0;
};

// The messages: a unit to walk (its number, end, root and limit; the length
// and the flags that the walk needs), and a walked unit's results.
void ecrireUnite(std::ostream& o, const Element& el);
void lireUnite(std::istream& in, Element& el);
void ecrireResultat(std::ostream& o, const Element& el);
void lireResultat(std::istream& in, Element& el);

}  // namespace egypte

#endif
