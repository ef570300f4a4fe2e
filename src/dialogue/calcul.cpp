// One computation of the dialogue: the set-up questions, whose answers make
// the same Probleme as the command line's and go through the same set-up
// (Recherche::poser); then the search, listed by the display of output/ with
// the paging question asked here, and the messages and report that end it.
#include <iostream>

#include "dialogue/dialogue.h"
#include "dialogue/interruption.h"
#include "output/progres.h"
#include "search/etat.h"
#include "search/probleme.h"
#include "search/recherche.h"

namespace egypte {

namespace {

const char* const QUESTION =
    "\n \n \t Nombre K de solutions suivantes a afficher ou autre option :  \n \n \t [K] / "
    "[zero, pas de limite] / [-1, arreter] / [-K (K>1), pas de  limite et affichage toutes "
    "les K solutions] ?    \t";

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

void questionPagination(NTL::ZZ& reponse)
{
    controle(ENTIER, QUESTION);
    reponse = valeur;
}

void calcul(Recherche& s)
{
    if (!preparation(s)) return;
    s.pagination = questionPagination;

    const EcouteInterruption ecoute;
    const progres::Suivi suivi([&s](std::ostream& o) { s.decrire(o); });
    const Recherche::Fin f = s.chercher();
    if (f == Recherche::Fin::interrompu) std::cout << INTERROMPU;
    if (f == Recherche::Fin::aucune) std::cout << AUCUNE_SOLUTION;
    if (f == Recherche::Fin::tropLong) std::cout << TROP_LONG;
    if (f != Recherche::Fin::trouve) return;
    if (s.seule) {
        std::cout << "\n \n \t    Il faut  " << s.n << " fractions au minimum. ";
        std::cout << "\n \n \t    Une seule solution : \n";
        std::cout << "\n \t \t \t " << 1 << "  :     ";
        for (int a = 1; a <= s.n; a++) std::cout << s.x[a] << "\t \t";
        std::cout << std::endl << std::endl;
    }
    // The every-K mode shows the last expansion too, whatever its place.
    if (s.L < -1 && s.K1 != 0) {
        std::cout << "\t \t \t " << s.K1 << "  :      ";
        for (int a = 1; a <= s.n; a++) std::cout << s.x1[a] << "\t \t";
        std::cout << std::endl;
    }

    s.resultat();
    std::cout << std::endl;
    std::cout << " \n \t FIN DU CALCUL";
    std::cout << std::endl;
    std::cout << " \t Developpements egyptiens de longueur minimale : calcul exact sur des entiers de taille quelconque.";
    std::cout << std::endl << std::endl;
}

}  // namespace egypte
