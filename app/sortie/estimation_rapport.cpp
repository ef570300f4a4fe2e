// The report of an estimate. The estimates are written with three significant
// digits: their spread is seldom under a few percent, and more digits would
// read as a count. The times are also given in the unit a plan is made in.
#include "sortie/estimation_rapport.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <sstream>
#include <string>

#include "sortie/ligne.h"

namespace egypte {

namespace {

// Whole from a hundred to a million, three significant digits otherwise.
std::string nombre(double v)
{
    char b[40];
    std::snprintf(b, sizeof b, v >= 100 && v < 1e6 ? "%.0f" : "%.3g", v);
    return b;
}

// Seconds, and beyond two minutes the same in minutes, hours, days or years.
std::string duree(double s)
{
    char b[80];
    std::snprintf(b, sizeof b, "%.3g s", s);
    std::string r = b;
    const double minute = 60, heure = 3600, jour = 86400, an = 365.25 * jour;
    const char* unite = nullptr;
    double v = 0;
    if (s >= 2 * an) v = s / an, unite = "ans";
    else if (s >= 2 * jour) v = s / jour, unite = "jours";
    else if (s >= 2 * heure) v = s / heure, unite = "heures";
    else if (s >= 2 * minute) v = s / minute, unite = "minutes";
    if (unite != nullptr) {
        std::snprintf(b, sizeof b, ", soit %s %s", nombre(v).c_str(), unite);
        r += b;
    }
    return r;
}

const char* nomGenre(Estimation::Genre g)
{
    switch (g) {
    case Estimation::Genre::sondee: return "sondages";
    case Estimation::Genre::seule: return "seule";
    case Estimation::Genre::courte: return "courte";
    case Estimation::Genre::interrompue: return "interrompue";
    case Estimation::Genre::nulle: break;
    }
    return "exclue";
}

}  // namespace

void rapportEstimationTexte(std::ostream& o, const Probleme& p, const Estimation& e)
{
    rapportProbleme(o, p, e.P, e.Q, e.sansUn);
    const long n = p.longueur;
    switch (e.genre) {
    case Estimation::Genre::nulle:
        o << "Estimation : aucune solution de longueur " << n << " (la longueur est exclue d'emblee)\n";
        return;
    case Estimation::Genre::seule:
        o << "Estimation : une seule solution de longueur " << n
          << ", exactement (la plus grande somme de " << n << " inconnues admissibles)\n";
        return;
    case Estimation::Genre::courte:
        o << "Estimation : " << static_cast<long long>(e.developpements) << " solutions de longueur " << n
          << ", exactement (comptees : le debut laisse moins de 4 inconnues)\n";
        return;
    case Estimation::Genre::interrompue:
        o << "Estimation interrompue par Ctrl-C avant la fin d'un sondage.\n";
        return;
    case Estimation::Genre::sondee:
        break;
    }
    char pc[40];
    std::snprintf(pc, sizeof pc, "%.2g %%", 100 * e.relatif());
    char dt[40];
    std::snprintf(dt, sizeof dt, "%.1f s", e.duree);
    o << "Estimation par sondages stratifies (methode de Knuth), longueur " << n << " :\n";
    o << "Nombre de solutions : environ " << nombre(e.developpements) << " (erreur type "
      << nombre(e.ecartDeveloppements) << ", soit " << pc << "), entre " << nombre(e.minimum()) << " et "
      << nombre(e.maximum()) << " a deux erreurs type\n";
    o << "Noeuds du parcours (pas) : environ " << nombre(e.noeuds) << " (erreur type " << nombre(e.ecartNoeuds) << ")\n";
    o << "Duree du compte sur un coeur : environ " << duree(e.secondes) << " (erreur type " << duree(e.ecartSecondes)
      << ")\n";
    o << "Duree du compte sur " << e.fils << (e.fils > 1 ? " fils" : " fil") << " : environ "
      << duree(e.secondesFils()) << '\n';
    o << "Sondages : " << e.sondes << " en " << dt << ", dans " << e.strates << (e.strates > 1 ? " strates" : " strate")
      << " des " << e.noeudsStrates << " noeuds de profondeur " << e.profondeurStrates
      << " (le parcours au-dessus fait en entier), chacun tirant une valeur a chaque niveau jusqu'a la profondeur "
      << e.profondeur << " puis parcourant au plus " << e.bloc << " valeurs de x" << e.profondeur + 1 << '\n';
    if (e.relatif() > 0.1)
        o << "Erreur type au-dela de 10 % : elle est alors souvent sous-estimee elle-meme, "
             "sonder plus longtemps (--duree)\n";
    if (e.stratesSansSondage > 0)
        o << e.stratesSansSondage << (e.stratesSansSondage > 1 ? " strates" : " strate")
          << " sans sondage faute de temps : leur part manque a l'estimation, sonder plus longtemps (--duree)\n";
    if (e.arretCtrlC) o << "Sondages arretes par Ctrl-C : l'estimation porte sur les sondages complets.\n";
}

void rapportEstimationJson(std::ostream& o, const Probleme& p, const Estimation& e)
{
    nlohmann::json j;
    problemeJson(j, p, e.P, e.Q, e.sansUn);
    std::ostringstream n;
    n << p.longueur;
    j["longueur"] = n.str();
    j["estimation"] = nomGenre(e.genre);
    j["solutions"] = e.developpements;
    j["solutions_erreur"] = e.ecartDeveloppements;
    j["solutions_min"] = e.minimum();
    j["solutions_max"] = e.maximum();
    j["erreur_relative"] = e.relatif();
    j["noeuds"] = e.noeuds;
    j["noeuds_erreur"] = e.ecartNoeuds;
    j["secondes_un_coeur"] = e.secondes;
    j["secondes_un_coeur_erreur"] = e.ecartSecondes;
    j["fils"] = e.fils;
    j["secondes_fils"] = e.secondesFils();
    j["sondages"] = e.sondes;
    j["profondeur"] = e.profondeur;
    j["bloc"] = e.bloc;
    j["profondeur_strates"] = e.profondeurStrates;
    j["noeuds_strates"] = e.noeudsStrates;
    j["strates"] = e.strates;
    j["strates_sans_sondage"] = e.stratesSansSondage;
    j["duree"] = e.duree;
    j["interrompu"] = e.arretCtrlC;
    o << j.dump() << '\n';
}

}  // namespace egypte
