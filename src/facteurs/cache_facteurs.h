// The factorisations of Q and of the placed unknowns, kept while each number
// stays in place: the denominator left for the last two unknowns is made of
// their primes, so the fast search factors single numbers, each once.
#ifndef EGYPTE_FACTEURS_CACHE_FACTEURS_H
#define EGYPTE_FACTEURS_CACHE_FACTEURS_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <vector>

#include "facteurs/facteurs.h"
#include "facteurs/grands_facteurs.h"

namespace egypte {

class CacheFacteurs {
public:
    // The distinct primes of q0 and of x[1..k-1], each once (exponent 0):
    // those of at most min(bits, 63) bits into premiers, the larger ones into
    // grands. A number of at most min(bits, 64) bits is factored in machine
    // words, a larger one by factoriserGrand (bits is 64 in a search; the
    // tests lower it so that small problems take the big-integer paths).
    // False when one of those numbers cannot be factored within that effort.
    bool rassembler(int k, const NTL::ZZ& q0, const NTL::Vec<NTL::ZZ>& x, int bits, std::vector<Puissance>& premiers,
                    std::vector<NTL::ZZ>& grands);

private:
    struct Decomposition {
        NTL::ZZ valeur;               // the number factored
        bool faite = false;           // valeur has been factored (completely or not)
        bool complete = false;        // f and grands are its whole factorisation
        std::vector<Puissance> f;     // its primes that fit a machine word
        std::vector<NTL::ZZ> grands;  // the others
    };
    std::vector<Decomposition> cases_;  // [0]: q0; [a]: x[a]
    std::vector<PuissanceZ> tampon_;

    bool decomposer(const NTL::ZZ& v, int bits, Decomposition& d);
};

}  // namespace egypte

#endif
