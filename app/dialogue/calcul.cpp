// One computation of the dialogue: the set-up questions, whose answers make
// the same Probleme as the command line's and go through the same set-up
// (the library's); then the search through the library, listed by the
// dialogue's paging display, and the messages and report that end it.
#include <iostream>

#include "egypte/egypte.h"
#include "dialogue/dialogue.h"
#include "dialogue/interruption.h"
#include "dialogue/pagination.h"
#include "sortie/rapport.h"

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
bool contraintes(Probleme& pb, BornesTapees& n)
{
    controle(TYPE, " \n \n \t Type d'equation :  1  ou  2  ?  : \t");
    pb.inconnues = static_cast<Inconnues>(valeur2);
    controle(PARITE, "\n \t Parite des inconnues,  PAIRE = 2 ,  IMPAIRE = 1 , INDIFFERENTE = 0 ? \t: ");
    pb.parite = static_cast<Parite>(valeur2);
    // Before the bounds are asked: no bound can make this fraction possible.
    if (pb.parite == Parite::impaires && !impairesPossibles(pb.numerateur, pb.denominateur)) {
        std::cout << AUCUNE_SOLUTION;
        return false;
    }
    bornes("\n  \t Minorant pour x1, [rentrez zero sinon] ?  : \t",
           "\n  \t Majorant pour xn, [rentrez zero sinon] ?  : \t",
           "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez ! \n \n", pb.minimumX1, pb.maximumXn);
    bornes("\n  \t Minorant pour n, [rentrez zero sinon] ?  : \t",
           "\n  \t Majorant pour n, [rentrez zero sinon] ?  : \t",
           "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez !\n \n", n.longueurMin, n.longueurMax);
    pb.longueurMin = longueurLue(n.longueurMin);
    pb.longueurMax = longueurLue(n.longueurMax);
    return true;
}

}  // namespace

bool preparation(Probleme& pb, BornesTapees& n)
{
    xn = 1;
    controle(NATUREL, "\n \t Valeur de P ? : \t");
    pb.numerateur = valeur;
    controle(NATUREL, "\n \t Valeur de Q ? : \t");
    pb.denominateur = valeur;
    xn = 0;
    controle(OUI_NON, " \n  \n \t Voulez vous imposer des contraintes, Oui [1] / Non [0]  ? \t");
    if (valeur2 == 1) return contraintes(pb, n);
    if (pb.numerateur >= pb.denominateur) {
        // Only without constraints, and only when 1 can be a term (P/Q >= 1).
        controle(OUI_NON, " \n  \t Voulez vous exclure la valeur 1 pour la premiere inconnue,  Oui[1] / Non[0] ? : ");
        pb.sansUn = valeur2 == 1;
    }
    return true;
}

void questionPagination(NTL::ZZ& reponse)
{
    controle(ENTIER, QUESTION);
    reponse = valeur;
}

std::int64_t calcul(const Chercheur& chercheur)
{
    Probleme pb;
    BornesTapees n;
    if (!preparation(pb, n)) return 0;
    Pagination pagination(static_cast<int>(pb.inconnues), pb.sansUn);
    Demande d;
    d.ligneDEtat = true;
    Resultat r;
    {
        const EcouteInterruption ecoute;
        r = chercheur ? chercheur(pb, d, &pagination) : chercher(pb, d, &pagination);
    }
    // The set-up left no length to try: nothing was searched.
    if (!r.pose) {
        std::cout << (r.fin == Fin::limite ? TROP_LONG : INCOMPATIBLES);
        return 0;
    }
    if (r.fin == Fin::interrompue) std::cout << INTERROMPU;
    if (r.fin == Fin::complete && r.solutions == 0) std::cout << AUCUNE_SOLUTION;
    if (r.fin == Fin::limite) std::cout << TROP_LONG;
    // The answer -1 ends the computation without a report.
    if (r.fin != Fin::complete || r.solutions == 0) return r.solutions;
    if (r.seule) {
        std::cout << "\n \n \t    Il faut  " << r.longueur << " fractions au minimum. ";
        std::cout << "\n \n \t    Une seule solution : \n";
        std::cout << "\n \t \t \t " << 1 << "  :     ";
        for (const NTL::ZZ& v : pagination.seule()) std::cout << v << "\t \t";
        std::cout << std::endl << std::endl;
    }
    // The every-K mode shows the last expansion too, whatever its place.
    if (pagination.mode() < -1) {
        std::cout << "\t \t \t " << r.solutions << "  :      ";
        for (const NTL::ZZ& v : r.derniere) std::cout << v << "\t \t";
        std::cout << std::endl;
    }

    rapportDialogue(std::cout, pb, r, n);
    std::cout << std::endl;
    std::cout << " \n \t FIN DU CALCUL";
    std::cout << std::endl;
    std::cout << " \t Developpements egyptiens de longueur minimale : calcul exact sur des entiers de taille quelconque.";
    std::cout << std::endl << std::endl;
    return r.solutions;
}

void calcul() { calcul(Chercheur{}); }

}  // namespace egypte
