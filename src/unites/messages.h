// The work units of a walk dealt out to other processes (the MPI front end):
// what the walk asks of them, whatever carries the messages. The process that
// displays enumerates the units, hands them out through a Reseau, and replays
// what comes back in the walk's order, exactly as it replays its own threads'
// units.
#ifndef EGYPTE_UNITES_MESSAGES_H
#define EGYPTE_UNITES_MESSAGES_H

#include <chrono>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include "egypte/reseau.h"
#include "unites/unites.h"

namespace egypte {

class Reseau {
public:
    virtual ~Reseau() = default;
    // The threads of the other processes, all together (how many units the
    // walk is cut into depends on it).
    virtual int fils() const = 0;
    // How many more units the other processes can take now (a couple per
    // thread there, so that none waits for its next unit).
    virtual int places() = 0;
    // Hands unit `el` of length n, known by `id`, to a process with a free
    // place; it may wait in a buffer until expedier.
    virtual void confier(int n, long id, const Element& el) = 0;
    virtual void expedier() = 0;
    // The results that came back since the last call, written into their
    // units (found in `dehors` by id); their ids. Does not wait.
    virtual std::vector<long> recevoir(const std::map<long, Element*>& dehors) = 0;
    // The walk stops: the units out there stop at once and come back cut.
    virtual void arreter() = 0;
};

// The messages: a unit to walk (its number, end, root and limit; the length
// and the flags that the walk needs), and a walked unit's results (not its
// number: the messages carry ids of their own).
void ecrireUnite(std::ostream& o, const Element& el);
void lireUnite(std::istream& in, Element& el);
void ecrireResultat(std::ostream& o, const Element& el);
void lireResultat(std::istream& in, Element& el);

}  // namespace egypte

#endif
