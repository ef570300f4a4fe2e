// A count of expansions with its extremes: how many, the largest xn, the
// smallest x1 and the smallest xn among them. The one bookkeeping of what a
// search found, kept the same way by the walk, by a work unit's batch, by
// the front end's output and by the journal's records.
#ifndef EGYPTE_COMMUN_BILAN_H
#define EGYPTE_COMMUN_BILAN_H

#include <NTL/ZZ.h>

#include <cstdint>

namespace egypte {

struct Bilan {
    std::int64_t nombre = 0;  // expansions counted
    // Meaningful only when nombre > 0: the first expansion counted sets them
    // whatever they held, so emptying a Bilan never has to clear them.
    NTL::ZZ plusGrandXn;  // the largest xn
    NTL::ZZ plusPetitX1;  // the smallest x1
    NTL::ZZ plusPetitXn;  // the smallest xn (the smallest largest denominator)

    void vider() { nombre = 0; }

    // One expansion, by its first and last unknowns.
    void ajouter(const NTL::ZZ& x1, const NTL::ZZ& xn) { ajouterBloc(1, x1, xn, xn); }

    // `k` expansions at once, whose smallest x1 is `x1` and whose xn run
    // from `xnMin` to `xnMax`. The extremes may also be those of a larger
    // set that holds the k (a batch of which the rest was counted already).
    void ajouterBloc(std::int64_t k, const NTL::ZZ& x1, const NTL::ZZ& xnMin, const NTL::ZZ& xnMax)
    {
        if (k <= 0) return;
        const bool premier = nombre == 0;
        nombre += k;
        if (premier || xnMax > plusGrandXn) plusGrandXn = xnMax;
        if (premier || x1 < plusPetitX1) plusPetitX1 = x1;
        if (premier || xnMin < plusPetitXn) plusPetitXn = xnMin;
    }

    void fusionner(const Bilan& b) { ajouterBloc(b.nombre, b.plusPetitX1, b.plusPetitXn, b.plusGrandXn); }
};

}  // namespace egypte

#endif
