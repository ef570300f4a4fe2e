// One computation of the command line, through the library: the listing and
// the journal, the search with SIGINT, SIGTERM and SIGHUP stopping it as
// Ctrl-C does, the report in the command line's own forms, and the exit
// status a script reads.
#include <iostream>
#include <sstream>

#include "egypte/reseau.h"
#include "commande/commande.h"
#include "dialogue/interruption.h"
#include "sortie/liste.h"
#include "sortie/ligne.h"
#include "egypte/texte.h"

namespace egypte {

namespace {

Demande demande(const Commande& c)
{
    Demande d;
    d.montrer = c.montrer;
    d.K = c.K;
    d.fils = c.fils;
    d.journal = c.journal;
    // The status line only while standard output is not written.
    d.ligneDEtat = c.montrer == Montrer::compter || !c.sortie.empty();
    return d;
}

}  // namespace

int ligneDeCommande(int argc, const char* const* argv)
{
    Commande c;
    std::string erreur;
    if (!analyser(argc, argv, c, erreur)) {
        std::cerr << erreur << '\n';
        return 2;
    }
    return executer(c);
}

bool repartie(Action a) { return a == Action::recherche || a == Action::balayage; }

int executer(const Commande& c, Transport* transport)
{
    switch (c.action) {
    case Action::recherche:
        return lancer(c, transport);
    case Action::balayage:
        return lancerBalayage(c, transport);
    case Action::meilleur:
        return lancerMeilleur(c);
    case Action::estimation:
        return lancerEstimation(c);
    case Action::aide:
    case Action::version:
        break;
    }
    std::string erreur;
    if (ecrireSortieStandard(c.action == Action::aide ? aideCommande() : versionCommande() + "\n", erreur)) return 0;
    std::cerr << "egypte : " << erreur << '\n';
    return STATUT_ECRITURE;
}

std::string fichiersMeles(const Commande& c)
{
    if (!c.journal.empty() && !c.sortie.empty() && memeFichier(c.journal, c.sortie))
        return "--journal et --sortie nomment le meme fichier " + citer(c.sortie, 256);
    // The report (or the scan's table) would be written into the file.
    for (const std::string* f : {&c.journal, &c.sortie})
        if (!f->empty() && sortieStandardVers(*f))
            return "la sortie standard est redirigee vers " + citer(*f, 256) + ", le fichier de " +
                   (f == &c.journal ? "--journal" : "--sortie") + " : elle le detruirait";
    return "";
}

int lancer(const Commande& c, Transport* transport)
{
    if (const std::string e = fichiersMeles(c); !e.empty()) {
        std::cerr << "egypte : " << e << '\n';
        return 2;
    }
    RecepteurListe sortie(c.sortie, !c.journal.empty());
    Resultat r;
    int signal = 0;
    try {
        const EcouteArret ecoute;
        r = transport != nullptr ? chercher(c.probleme, demande(c), &sortie, *transport)
                                 : chercher(c.probleme, demande(c), &sortie);
        signal = EcouteArret::signal();
    } catch (const Erreur& e) {
        std::cerr << "egypte : " << e.texte(motDeLaLigne) << '\n';
        return 2;
    }
    // Everything found so far is written, whatever stopped the search.
    std::string erreur;
    if (!sortie.fermer(erreur) && r.fin != Fin::ecriture) {
        r.fin = Fin::ecriture;
        r.erreur = erreur;
    }
    std::ostringstream rapport;
    if (c.json) rapportJson(rapport, c.probleme, r);
    else rapportTexte(rapport, c.probleme, r);
    if (!ecrireSortieStandard(rapport.str(), erreur) && r.fin != Fin::ecriture) {
        r.fin = Fin::ecriture;
        r.erreur = erreur;
    }
    switch (r.fin) {
    case Fin::ecriture:
        std::cerr << "egypte : " << r.erreur << '\n';
        return STATUT_ECRITURE;
    case Fin::interrompue:
        return signal != 0 ? 128 + signal : 130;
    case Fin::limite:
        return STATUT_LIMITE;
    default:
        return r.solutions > 0 ? 0 : 1;
    }
}

}  // namespace egypte
