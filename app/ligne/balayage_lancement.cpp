// The scan of the command line: its lines on standard output as they come,
// SIGINT, SIGTERM and SIGHUP stopping it after the lines finished, and where
// it stopped said on standard error, since standard output holds only the
// table (a resumed scan's output follows the stopped one's).
#include <iostream>

#include "ligne/commande.h"
#include "dialogue/interruption.h"
#include "egypte/reseau.h"
#include "output/balayage_sortie.h"

namespace egypte {

int lancerBalayage(const Commande& c, Transport* transport)
{
    if (const std::string e = fichiersMeles(c); !e.empty()) {
        std::cerr << "egypte : " << e << '\n';
        return 2;
    }
    SortieBalayage sortie(c.probleme, c.balayage, c.json, c.sortie, !c.journal.empty());
    ResultatBalayage r;
    int signal = 0;
    try {
        const EcouteArret ecoute;
        r = transport != nullptr ? balayer(c.probleme, c.balayage, sortie, *transport)
                                 : balayer(c.probleme, c.balayage, sortie);
        signal = EcouteArret::signal();
    } catch (const Erreur& e) {
        std::cerr << "egypte : " << e.texte(motDeLaLigne) << '\n';
        return 2;
    }
    // Every line out is on the disk, whatever stopped the scan.
    std::string erreur;
    if (!sortie.fermer(erreur) && r.fin != Fin::ecriture) {
        r.fin = Fin::ecriture;
        r.erreur = erreur;
    }
    switch (r.fin) {
    case Fin::ecriture:
        std::cerr << "egypte : " << r.erreur << '\n';
        return STATUT_ECRITURE;
    case Fin::interrompue:
        std::cerr << "egypte : balayage interrompu ";
        if (r.derniere >= r.reprise)
            std::cerr << "apres q = " << r.derniere << " (lignes de q = " << r.reprise << " a " << r.derniere << ")";
        else std::cerr << "avant sa premiere ligne (q = " << r.reprise << ")";
        std::cerr << (c.journal.empty() ? " ; avec --journal, il reprendrait la\n" : " ; le journal le reprend la\n");
        return signal != 0 ? 128 + signal : 130;
    case Fin::limite:
        std::cerr << "egypte : balayage incomplet : " << r.limites
                  << (r.limites > 1 ? " fractions n'ont" : " fraction n'a") << " pas de developpement jusqu'a la limite n = "
                  << LONGUEUR_MAX << (r.limites > 1 ? " (marquees limite)\n" : " (marquee limite)\n");
        return STATUT_LIMITE;
    default:
        return 0;
    }
}

}  // namespace egypte
