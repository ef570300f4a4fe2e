// One computation of the dialogue: the set-up questions, whose answers make
// the same Probleme as the command line's and go through the same set-up
// (Recherche::poser).
#include <iostream>

#include "dialogue/dialogue.h"
#include "search/etat.h"
#include "search/probleme.h"
#include "search/recherche.h"

namespace egypte {

namespace {

const char* const INCOMPATIBLES = "\n \t \t    Les contraintes ne sont pas compatibles ! Recommencer ! \n \n ";

// A pair of bounds as entered, asked again until the first is below the
// second (0 standing for no bound).
void bornes(const char* minorant, const char* majorant, const char* recommencez, NTL::ZZ& bas, NTL::ZZ& haut)
{
    refaire = 1;
    while (refaire == 1) {
        controle(NATUREL, minorant);
        bas = valeur;
        controle(NATUREL, majorant);
        haut = valeur;
        refaire = 0;
        if (!IsZero(bas) && !IsZero(haut) && bas >= haut) {
            refaire = 1;
            std::cout << recommencez;
        }
    }
}

// The constraints questions. False when the computation ends here, with its
// message written.
bool contraintes(Probleme& pb)
{
    controle(TYPE, " \n \n \t Type d'equation :  1  ou  2  ?  : \t");
    pb.type = valeur2;
    controle(PARITE, "\n \t Parite des inconnues,  PAIRE = 2 ,  IMPAIRE = 1 , INDIFFERENTE = 0 ? \t: ");
    pb.parite = valeur2;
    // Before the bounds are asked: no bound can make this fraction possible.
    if (pb.parite == 1 && !impairesPossibles(pb.P1, pb.Q1)) {
        std::cout << AUCUNE_SOLUTION;
        return false;
    }
    bornes("\n  \t Minorant pour x1, [rentrez zero sinon] ?  : \t",
           "\n  \t Majorant pour xn, [rentrez zero sinon] ?  : \t",
           "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez ! \n \n", pb.minx, pb.M);
    bornes("\n  \t Minorant pour n, [rentrez zero sinon] ?  : \t",
           "\n  \t Majorant pour n, [rentrez zero sinon] ?  : \t",
           "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez !\n \n", pb.minn, pb.maxn);
    return true;
}

}  // namespace

bool preparation(Recherche& s)
{
    Probleme pb;
    xn = 1;
    controle(NATUREL, "\n \t Valeur de P ? : \t");
    pb.P1 = valeur;
    controle(NATUREL, "\n \t Valeur de Q ? : \t");
    pb.Q1 = valeur;
    xn = 0;
    controle(OUI_NON, " \n  \n \t Voulez vous imposer des contraintes, Oui [1] / Non [0]  ? \t");
    if (valeur2 == 1) {
        if (!contraintes(pb)) return false;
    } else if (pb.P1 >= pb.Q1) {
        // Only without constraints, and only when 1 can be a term (P/Q >= 1).
        controle(OUI_NON, " \n  \t Voulez vous exclure la valeur 1 pour la premiere inconnue,  Oui[1] / Non[0] ? : ");
        pb.sansUn = valeur2 == 1;
    }
    Recherche::Fin pourquoi;
    if (s.poser(pb, pourquoi)) return true;
    std::cout << (pourquoi == Recherche::Fin::tropLong ? TROP_LONG : INCOMPATIBLES);
    return false;
}

}  // namespace egypte
