// --estimer: the problem set up as for its count, the length probed for a
// while, the report of the estimate.
#include <iostream>
#include <sstream>

#include "dialogue/commande.h"
#include "dialogue/interruption.h"
#include "dialogue/liste.h"
#include "output/estimation_rapport.h"
#include "search/estimation.h"
#include "search/parallele.h"

namespace egypte {

int lancerEstimation(const Commande& c)
{
    Recherche s;
    s.fils = c.fils;
    Estimation e;
    e.fils = nombreDeFils(c.fils);
    Recherche::Fin fin;
    // A problem that poser refuses has no length to try: nothing to count.
    if (s.poser(c.probleme, fin)) {
        const EcouteInterruption ecoute;
        ReglagesEstimation r;
        r.secondes = c.duree;
        // poser kept the length within NMAX.
        e = estimer(s, static_cast<int>(to_long(c.probleme.longueur)), r);
    }
    std::ostringstream rapport;
    if (c.json) rapportEstimationJson(rapport, c, s, e);
    else rapportEstimationTexte(rapport, c, s, e);
    std::string erreur;
    if (!ecrireSortieStandard(rapport.str(), erreur)) {
        std::cerr << erreur << '\n';
        return STATUT_ECRITURE;
    }
    return e.arretCtrlC ? 130 : 0;
}

}  // namespace egypte
