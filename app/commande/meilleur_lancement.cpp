// The best expansion of one fraction from the command line: its line (the
// denominators, as a listing writes them), then its report.
#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>

#include "dialogue/interruption.h"
#include "egypte/meilleur.h"
#include "commande/commande.h"
#include "sortie/ligne.h"
#include "sortie/liste.h"

namespace egypte {

int lancerMeilleur(const Commande& c)
{
    Demande d;
    d.fils = c.fils;
    ResultatMeilleur m;
    int signal = 0;
    try {
        const EcouteArret ecoute;
        m = meilleur(c.probleme, d);
        signal = EcouteArret::signal();
    } catch (const Erreur& e) {
        std::cerr << "egypte : " << e.texte(motDeLaLigne) << '\n';
        return 2;
    }
    std::ostringstream o;
    for (std::size_t i = 0; i < m.x.size(); i++) o << (i > 0 ? " " : "") << m.x[i];
    if (!m.x.empty()) o << '\n';
    if (c.json) o << rapportMeilleurObjet(c.probleme, m).dump() << '\n';
    else rapportMeilleurTexte(o, c.probleme, m);
    std::string erreur;
    if (!ecrireSortieStandard(o.str(), erreur)) {
        std::cerr << "egypte : " << erreur << '\n';
        return STATUT_ECRITURE;
    }
    switch (m.fin) {
    case Fin::interrompue:
        return signal != 0 ? 128 + signal : 130;
    case Fin::limite:
        return STATUT_LIMITE;
    default:
        return m.x.empty() ? 1 : 0;
    }
}

}  // namespace egypte
