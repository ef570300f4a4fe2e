// The scan of the command line: its lines on standard output as they come,
// SIGINT, SIGTERM and SIGHUP stopping it after the lines finished, and where
// it stopped said on standard error, since standard output holds only the
// table (a resumed scan's output follows the stopped one's).
#include <nlohmann/json.hpp>

#include <chrono>
#include <iostream>

#include "commande/commande.h"
#include "dialogue/interruption.h"
#include "egypte/reseau.h"
#include "sortie/balayage_sortie.h"

namespace egypte {

namespace {

// At the end of a scan of at most K terms, on standard error (its output
// holds only the fractions past K): what was checked, and how.
void resumerAuPlus(const Commande& c, const ResultatBalayage& r, double secondes)
{
    const TotauxBalayage& t = r.totaux;
    if (c.json) {
        std::cerr << nlohmann::json{{"au_plus", c.balayage.auPlus}, {"verifiees", t.verifiees}, {"au_dela", t.auDela},
                                    {"exactes", t.exactes}, {"secondes", secondes}, {"complet", r.complet()}}
                         .dump()
                  << '\n';
        return;
    }
    char duree[32];
    std::snprintf(duree, sizeof duree, "%.1f", secondes);
    std::cerr << "egypte : au plus " << c.balayage.auPlus << " termes : " << t.verifiees << " fractions verifiees, "
              << t.auDela << " au-dela, " << t.exactes << " laissees a la recherche exacte ; " << duree
              << " s pour cette execution\n";
}

}  // namespace

int lancerBalayage(const Commande& c, Transport* transport)
{
    if (const std::string e = fichiersMeles(c); !e.empty()) {
        std::cerr << "egypte : " << e << '\n';
        return 2;
    }
    RecepteurTableau sortie(c.probleme, c.balayage, c.json, c.sortie, !c.journal.empty());
    ResultatBalayage r;
    int signal = 0;
    const auto debut = std::chrono::steady_clock::now();
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
    if (c.balayage.mode == ModeBalayage::auPlus)
        resumerAuPlus(c, r, std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count());
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
        std::cerr << "egypte : balayage incomplet : " << r.totaux.limites
                  << (r.totaux.limites > 1 ? " fractions n'ont" : " fraction n'a") << " pas de developpement jusqu'a la limite n = "
                  << LONGUEUR_MAX << (r.totaux.limites > 1 ? " (marquees limite)\n" : " (marquee limite)\n");
        return STATUT_LIMITE;
    default:
        return 0;
    }
}

}  // namespace egypte
