// The factorisations of Q and of the placed unknowns, kept while each number
// stays in place: the denominator left for the last two unknowns is made of
// their primes, so the fast search factors single numbers, each once.
#ifndef EGYPTE_SEARCH_CACHE_FACTEURS_H
#define EGYPTE_SEARCH_CACHE_FACTEURS_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <vector>

#include "search/facteurs.h"

namespace egypte {

class CacheFacteurs {
public:
    // The distinct primes of q0 and of x[1..k-1] into premiers (exponent 0),
    // each once. False when one of those numbers cannot be factored (a prime
    // factor beyond 63 bits, or a cofactor beyond 64 bits that the small
    // primes do not break).
    bool rassembler(int k, const NTL::ZZ& q0, const NTL::Vec<NTL::ZZ>& x, std::vector<Puissance>& premiers);

private:
    struct Decomposition {
        NTL::ZZ valeur;          // the number factored
        bool faite = false;      // valeur has been factored (completely or not)
        bool complete = false;   // f is its whole factorisation
        std::vector<Puissance> f;
    };
    std::vector<Decomposition> cases_;  // [0]: q0; [a]: x[a]

    static bool decomposer(const NTL::ZZ& v, Decomposition& d);
};

}  // namespace egypte

#endif
