// The run of the program: banner, explanations, then one computation after
// another until the user answers 0 to the new-computation question.
#include <cstring>
#include <iostream>
#include <string>

#include "dialogue/dialogue.h"

namespace egypte {

int expli;
int recalc;

namespace {

const char* const EXPLICATIONS[] = {
    " \n \n \t  Cette extension du programme initial trouve les developpements Egyptiens de la plus courte longueur pour n'importe quelle fraction P/Q. ",
    " \n \n \t  Par defaut dans ces developpements tous les denominateurs doivent etre differents (Type 2).",
    " \n \n \t  Quand P/Q >= 1 on peut choisir de ne pas avoir de denominateurs egaux a 1. ",
    " \n \n \t  Des options facultatives permettent d'imposer des contraintes pour la recherche : ",
    " \n \n \t    - Type de developpements : Type 1 / Type 2 ",
    " \n \t    - Parite des inconnus : Paire/ Impaire/ Indifferente.",
    " \n \t    - Minimum pour x1 : N.",
    " \n \t    - Maximum pour xn : M.",
    " \n \t    - Minimum pour n. ",
    " \n \t    - Maximum pour n. ",
    " \n \n \t Quand on ne veut pas utiliser une de ces options il suffit de rentrer zero.",
    " \n \n \t A tout moment du calcul, on doit avoir : n/M <= P/Q <= n/N.",
    " \n \t Si ces conditions ne sont pas respectees au debut du calcul ou quand n varie, un message d'impossibilite s'affiche.",
    " \n \n \t Une fois la plus petite valeur de n pour laquelle des developpements existent trouvee (compte tenu des contraintes),le premier de ceux-ci est affiche. ",
    " \n \t On rentre alors dans le cas du programme initial permettant de trouver tous les developpements de longueur n d'une fraction P/Q.",
    " \n \t On peut donc lister ou compter toutes les solutions pour cette valeur de n.",
    " \n \n \t Attention ! Dans certains cas les calculs peuvent etre longs !",
    " \n \t Le programme est ecrit en C++ ; la bibliotheque NTL permet de calculer exactement avec des entiers de taille quelconque.",
    " \n \n \t A cause des contraintes, il se peut qu'il n'y ait aucune solution mais que le programme cherche indefiniment.",
    " \n \t Depuis la version 6, certains cas d'impossibilites quand les inconnues sont toutes impaires sont detectes. Cela evite des tests inutiles. ",
    " \n \n \t Dans cette extension une erreur de saisie ne fait pas planter le programme, une nouvelle saisie est redemandee.",
    " \n \t La derniere version VORNAK_V7 a un algorihme ameliore qui evite de tester inutilement certains cas pour le Type 2.",
};

const std::string TIRETS(144, '-');

}  // namespace

int programme()
{
    std::cout << "\n   POUR MODIFIER LA TAILLE DU TEXTE : [TOUCHE CTRL] + [TOUCHE +/-]. PLEIN ECRAN : [F11] ";
    std::cout << " \n \n \n \t  ***  DEVELOPPEMENTS EGYPTIENS DE LONGUEUR MINIMALE POUR UNE FRACTION P/Q  ***. \n";
    expli = 0;
    std::strcpy(message, " \n \t  Afficher des explications  ? Oui [1] / Non [0] ?\t: ");
    controle(OUI_NON, message);
    expli = valeur2;
    if (expli == 1) {
        for (const char* ligne : EXPLICATIONS) std::cout << ligne;
        std::cout << std::endl;
        std::cout << " \n " << TIRETS << " \n ";
    }
    recalc = 1;
    while (recalc == 1) {
        calcul();
        std::cout << TIRETS;
        std::cout << std::endl << std::endl;
        std::strcpy(message, "\n \t  Nouveau calcul ?  Oui [1] / Fin [0]  :     ");
        controle(OUI_NON, message);
        recalc = valeur2;
    }
    std::cout.flush();
    return 1;
}

}  // namespace egypte
