// --estimer, through the library: the length probed for a while, the report
// of the estimate.
#include <iostream>
#include <sstream>

#include "commande/commande.h"
#include "dialogue/interruption.h"
#include "sortie/estimation_rapport.h"
#include "sortie/liste.h"

namespace egypte {

int lancerEstimation(const Commande& c)
{
    DemandeEstimation d;
    d.secondes = c.duree;
    d.fils = c.fils;
    Estimation e;
    try {
        const EcouteInterruption ecoute;
        e = estimer(c.probleme, d);
    } catch (const Erreur& erreur) {
        std::cerr << "egypte : " << erreur.texte(motDeLaLigne) << '\n';
        return 2;
    }
    std::ostringstream rapport;
    if (c.json) rapportEstimationJson(rapport, c.probleme, e);
    else rapportEstimationTexte(rapport, c.probleme, e);
    std::string erreur;
    if (!ecrireSortieStandard(rapport.str(), erreur)) {
        std::cerr << "egypte : " << erreur << '\n';
        return STATUT_ECRITURE;
    }
    return e.arretCtrlC ? 130 : 0;
}

}  // namespace egypte
