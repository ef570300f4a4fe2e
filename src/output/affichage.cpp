// Display of each expansion found, paged: after each page the front end's
// paging question (Recherche::pagination) gives the next paging mode.
#include <iostream>

#include "search/etat.h"
#include "search/parallele.h"

namespace egypte {

void Recherche::entete()
{
    std::cout << "\n \n \t \t Il faut au minimun : " << n << "  fractions unitaires";
    if (type == 2) std::cout << "  differentes.";
    else std::cout << "  qui peuvent etre egales entre elles.";
    if (pas1 == 1) std::cout << " \n \t \t La valeur 1 etant interdite pour la plus petite inconnue.";
    std::cout << std::endl;
    std::cout << "\n \n \t \t Tableau des solutions numerotees :  \n \n ";
}

void Recherche::ligne()
{
    std::cout << "\t \t \t " << K1 << "  :      ";
    for (int a = 1; a <= n; a++) std::cout << x[a] << "\t \t";
    std::cout << std::endl;
}

void Recherche::affiche()
{
    if (collecte != nullptr) return collecte->ajouter(*this);
    if (sortie != nullptr) return sortie->developpement(*this);
    // The fast search calls this for every expansion: the paging mode is
    // compared as a machine word when it is one. A mode of 2^63 or more is
    // never equal to a 64-bit counter; only its sign matters then.
    const bool court = NumBits(L) <= 63;
    const long l0 = court ? to_long(L) : (sign(L) > 0 ? 1 : -2);
    K1++;
    if (l0 > 0) K2++;
    if (l0 < -1) {
        K3++;
        if (court && l0 == -K3) K3 = 0;
    }
    if (K1 == 1) entete();
    if (l0 >= 0 || (l0 < -1 && K3 == 1)) {
        ligne();
        if (l0 < -1 && i >= 0) std::cout << std::endl;
    }
    if (x[n] > m) m = x[n];
    if (K1 == 1 || x[1] < m1) m1 = x[1];
    // A Ctrl-C that came during this step stops the computation at the next
    // check: the question would only keep the user waiting for nothing.
    if (court && l0 == K2 && l0 != 0 && !interrompu.load(std::memory_order_relaxed) && pagination != nullptr) {
        pagination(L);
        std::cout << std::endl << std::endl;
        K2 = 0;
    }
}

}  // namespace egypte
