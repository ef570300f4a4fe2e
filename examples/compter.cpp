// 1 as the sum of 7 distinct unit fractions: how many ways, and the largest
// last denominator among them.
//     $ ./compter
//     1 = 1/x1 + ... + 1/x7 : 245765 developpements, xn au plus 10650056950806
#include <egypte/egypte.h>

#include <iostream>

int main()
{
    egypte::Probleme un;  // 1/1; Inconnues::distinctes and Parite::indifferente by default
    un.longueur = 7;
    egypte::Demande d;
    d.montrer = egypte::Montrer::compter;
    const egypte::Resultat r = egypte::chercher(un, d);
    std::cout << "1 = 1/x1 + ... + 1/x7 : " << r.solutions << " developpements, xn au plus " << r.plusGrandXn
              << '\n';
    return r.complet() ? 0 : 1;
}
