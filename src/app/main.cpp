// egypte: the console program. A thin front end over the core library:
// without arguments the dialogue, with arguments one computation of the
// command line.
#include <iostream>

#include "dialogue/commande.h"
#include "dialogue/dialogue.h"
#include "dialogue/liste.h"

int main(int argc, char** argv)
{
    // The dialogue uses only the C++ streams, so they need not follow stdio.
    std::ios::sync_with_stdio(false);
    if (argc > 1) {
        egypte::Commande c;
        std::string erreur;
        if (!egypte::analyser(argc, argv, c, erreur)) {
            std::cerr << erreur << '\n';
            return 2;
        }
        if (c.aide || c.version) {
            if (egypte::ecrireSortieStandard(c.aide ? egypte::aideCommande() : egypte::versionCommande() + "\n", erreur))
                return 0;
            std::cerr << erreur << '\n';
            return egypte::STATUT_ECRITURE;
        }
        return c.estimer ? egypte::lancerEstimation(c) : egypte::lancer(c);
    }
    try {
        return egypte::programme();
    } catch (const egypte::FinDeLEntree&) {
        // The input ended at a prompt: the run ends there.
        std::cout << '\n' << std::flush;
        return 1;
    }
}
