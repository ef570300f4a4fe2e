// The final report of a computation: the equation, the minimal length, the
// number of expansions, the constraints as entered and the extreme values met.
#include <iostream>

#include "sortie/rapport.h"

namespace egypte {

void rapportDialogue(std::ostream& o, const Probleme& p, const Resultat& r, const BornesTapees& bn)
{
    const int n = r.longueur;
    const std::int64_t K1 = r.solutions;
    const int type = static_cast<int>(p.inconnues), parite = static_cast<int>(p.parite);
    const NTL::ZZ &minax = p.minimumX1, &Ma = p.maximumXn, &minn = bn.longueurMin, &maxn2 = bn.longueurMax;
    o << std::endl << std::endl;
    o << " \t L'equation Diophantienne a  " << n
      << "  inconnues : 1/x1 + 1/x2 + 1/x3 +.....   1/xn =  " << p.numerateur << "/" << p.denominateur;
    if (r.P != p.numerateur) o << " = " << r.P << "/" << r.Q;
    o << " ,  (n = " << n << ") ,";
    o << "  admet  " << K1 << "   solution(s). \n ";
    if (type == 2) o << " \n \t Les inconnues d'une meme solution etant toutes differentes. ";
    else o << " \n \t Des inconnues d'une meme solution pouvant etre egales. ";
    o << std::endl;
    if (parite == 2) o << " \t Elles sont egalement toutes paires. \n \n ";
    else if (parite == 1) o << " \t Elles sont egalement  toutes impaires. \n \n ";
    else o << " \t Elles sont egalement  toutes de parites indifferentes. \n \n ";
    if (!IsZero(minax) || !IsZero(Ma)) {
        o << " \n \n \t  Les inconnues doivent etre telles que :   " << minax;
        if (type == 2) o << " <=  x1 < x2 < .... < xn  ";
        else o << " <=  x1 <= x2 <= .... <= xn  ";
        if (!IsZero(Ma)) o << " <=  " << Ma << " . ";
        o << " \n ";
    }
    if (!IsZero(minn) || !IsZero(maxn2)) {
        o << " \n \t  Le nombre minimum, n d'inconnues, devait etre tel que :   " << minn
          << "  <=  n  ";
        if (!IsZero(maxn2)) o << " <=  " << maxn2 << " .  ";
        o << " \n ";
    }
    if (K1 > 0) {
        o << " \n \t \t " << r.plusGrandXn << "  est la plus grande valeur prise par xn. \n";
        o << " \n \t \t " << r.plusPetitX1 << "  est la plus petite valeur prise par x1. \n ";
    }
}

}  // namespace egypte
