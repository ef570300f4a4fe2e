#include "dialogue/pagination.h"

#include <iostream>

#include "dialogue/dialogue.h"

namespace egypte {

void Pagination::longueur(int n, bool seule)
{
    n_ = n;
    estSeule_ = seule;
}

void Pagination::entete() const
{
    std::cout << "\n \n \t \t Il faut au minimun : " << n_ << "  fractions unitaires";
    if (type_ == 2) std::cout << "  differentes.";
    else std::cout << "  qui peuvent etre egales entre elles.";
    if (sansUn_) std::cout << " \n \t \t La valeur 1 etant interdite pour la plus petite inconnue.";
    std::cout << std::endl;
    std::cout << "\n \n \t \t Tableau des solutions numerotees :  \n \n ";
}

Recepteur::Suite Pagination::recevoir(const Developpement& x, std::int64_t numero)
{
    Suite suite;
    if (estSeule_) {
        seule_ = x.valeurs();
        return suite;
    }
    // The paging mode is compared as a machine word when it is one. A mode
    // of 2^63 or more is never equal to a 64-bit counter; only its sign
    // matters then.
    const bool court = NumBits(L_) <= 63;
    const long l0 = court ? to_long(L_) : (sign(L_) > 0 ? 1 : -2);
    if (l0 > 0) K2_++;
    if (numero == 1) entete();
    std::cout << "\t \t \t " << numero << "  :      ";
    for (int a = 0; a < x.taille(); a++) std::cout << x[a] << "\t \t";
    std::cout << std::endl;
    if (l0 < -1) std::cout << std::endl;
    // A Ctrl-C that came meanwhile stops the computation at the next step:
    // the question would only keep the user waiting for nothing.
    if (court && l0 == K2_ && l0 != 0 && !interruption()) {
        questionPagination(L_);
        std::cout << std::endl << std::endl;
        K2_ = 0;
        if (L_ == -1) {
            suite.arreter = true;
        } else if (L_ < -1) {
            suite.changer = true;
            suite.montrer = Montrer::uneSur;
            suite.K = -L_;
        }
    }
    return suite;
}

}  // namespace egypte
