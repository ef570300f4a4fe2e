// The best expansion of a fraction: among the expansions of the minimal
// length (or of the length the problem gives) under the problem's
// constraints, the one whose largest denominator xn is the smallest, ties
// broken by x(n-1) the smallest, then x(n-2), and so on down to x1.
#ifndef EGYPTE_MEILLEUR_H
#define EGYPTE_MEILLEUR_H

#include <NTL/ZZ.h>

#include <vector>

#include "egypte/egypte.h"

namespace egypte {

// How the bound on xn is brought down to the best one. Every way ends with
// the same walk, the listing of the expansions with xn at most the best
// value, which proves that none has a smaller one and breaks the ties; they
// differ in the searches that lead there. A search that finds nothing walks
// the whole length, the bound shortening it little, so `resserrer`, which
// has a single one, is the fastest (b < 200: 0.59 s against 3.8 and 6.0 s).
enum class Approche {
    resserrer,   // list under the best xn found so far, starting again under the
                 // first smaller one met, until a listing meets none
    dichotomie,  // halve the interval between a lower bound and the best xn found
                 // by searches that stop at their first expansion, then list
    montee,      // from the lower bound up, doubling, searches that stop at their
                 // first expansion, then halve the interval left, then list
};
const char* nomApproche(Approche a);

struct ResultatMeilleur {
    // complete: the search went to its end (`x` is the best, or there is
    // none); interrompue (the process's flag or Demande::arret), limite
    // (no expansion up to LONGUEUR_MAX) or ecriture: `x` is at most the best
    // found before the end, never claimed best.
    Fin fin = Fin::complete;
    bool prouve = false;          // `x` is the best (or, empty, that none exists)
    int longueur = 0;             // the length of the expansions (the minimal one); 0: none found
    std::vector<NTL::ZZ> x;       // x1 <= ... <= xn; empty: none
    NTL::ZZ P, Q;                 // the fraction in lowest terms
    long recherches = 0;          // calls of `chercher` it took
    bool complet() const { return fin == Fin::complete; }
};

// Whether `a` comes before `b` by the rule of the best (same length): the
// first difference from the largest denominator down is smaller in `a`.
bool meilleurQue(const std::vector<NTL::ZZ>& a, const std::vector<NTL::ZZ>& b);

// The best expansion of p. From `d`, only the threads and the stop
// (`fils`, `arret`) are taken: what is shown, K and the plain walk are its
// own, and a journal is refused (Erreur(probleme)): it runs many searches,
// which one journal cannot resume. Throws Erreur when p cannot be searched.
ResultatMeilleur meilleur(const Probleme& p, const Demande& d = Demande{},
                          Approche a = Approche::resserrer);

}  // namespace egypte

#endif
