// Expansions that begin with given denominators: with x1..xk fixed, what is
// left is an expansion of P/Q - (1/x1 + ... + 1/xk) in n - k unknowns from xk
// on, under the same constraints. Its walk is in the same order as the
// walk of the whole problem restricted to that beginning, so the search of
// the rest, with the beginning put back in front of each expansion, is the
// search of the expansions that begin so.
#ifndef EGYPTE_INTERFACE_DEBUT_H
#define EGYPTE_INTERFACE_DEBUT_H

#include <string>

#include "egypte/egypte.h"

namespace egypte {

// Throws Erreur(probleme) when the beginning breaks the constraints or its
// sum reaches P/Q (p itself checked before).
void verifierDebut(const Probleme& p);

// The problem of what is left after the beginning (p itself when it has
// none), p checked whole.
Probleme reste(const Probleme& p);

// "x1,x2,...,xk".
std::string texteDebut(const std::vector<NTL::ZZ>& debut);

// A receiver of the expansions of the rest that hands the whole ones over.
class RecepteurDebut : public Recepteur {
public:
    RecepteurDebut(const std::vector<NTL::ZZ>& debut, Recepteur& r) : debut_(debut), r_(r), x_(debut) {}
    Suite recevoir(const Developpement& x, std::int64_t numero) override;
    void longueur(int n, bool seule) override { r_.longueur(n + static_cast<int>(debut_.size()), seule); }

private:
    const std::vector<NTL::ZZ>& debut_;
    Recepteur& r_;
    std::vector<NTL::ZZ> x_;  // the beginning, then the expansion of the rest
};

// The result of the rest made that of the whole problem p.
void completer(const Probleme& p, Resultat& r);

}  // namespace egypte

#endif
