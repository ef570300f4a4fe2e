// One computation of the command line: the problem set up as the dialogue
// would from the same answers, the same search, the expansions and the report
// in the command line's own forms, and the exit status a script reads.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "dialogue/commande.h"
#include "dialogue/interruption.h"
#include "dialogue/liste.h"
#include "output/ligne.h"
#include "output/progres.h"
#include "search/etat.h"
#include "search/journal.h"
#include "search/texte.h"

namespace egypte {

namespace {

// The journal and the listing, checked against each other before anything is
// written; false with one line on standard error.
bool preparerFichiers(const Commande& c, std::unique_ptr<Journal>& journal, Liste& liste)
{
    std::string erreur;
    if (!c.journal.empty() && !c.sortie.empty() && memeFichier(c.journal, c.sortie)) {
        std::cerr << "egypte : --journal et --sortie nomment le meme fichier " << citer(c.sortie, 256) << '\n';
        return false;
    }
    if (!c.journal.empty()) {
        journal = std::make_unique<Journal>();
        if (!journal->ouvrir(c.journal, enteteJournal(c), erreur)) {
            std::cerr << erreur << '\n';
            return false;
        }
    }
    if (!liste.ouvrir(c, journal.get(), erreur) || (journal && !journal->preparer(erreur))) {
        std::cerr << erreur << '\n';
        return false;
    }
    return true;
}

// Why the search did not go to its end, for the report.
const char* raisonDe(Recherche::Fin fin, const std::string& erreurEcriture)
{
    if (!erreurEcriture.empty()) return "erreur_ecriture";
    switch (fin) {
    case Recherche::Fin::interrompu:
        return "interrompu";
    case Recherche::Fin::arrete:
        return "premieres";
    case Recherche::Fin::tropLong:
        return "limite_longueur";
    default:
        return nullptr;
    }
}

}  // namespace

int lancer(const Commande& c, Reseau* reseau)
{
    std::unique_ptr<Journal> journal;
    Liste liste;
    if (!preparerFichiers(c, journal, liste)) return 2;

    Recherche s;
    s.fils = c.fils;
    s.reseau = reseau;
    SortieLigne sortie(c, liste.flux(), liste.nom(), liste.fichier(), journal.get());
    s.sortie = &sortie;
    Recherche::Fin fin;
    int signal = 0;
    if (s.poser(c.probleme, fin)) {
        const EcouteArret ecoute;
        // The status line only while standard output is not written.
        std::optional<progres::Suivi> suivi;
        if (c.montrer == Commande::Montrer::compter || liste.flux() != stdout)
            suivi.emplace([&s](std::ostream& o) { s.decrire(o); });
        fin = s.chercher();
        signal = EcouteArret::signal();
    }
    // Everything found so far is written, whatever stopped the search.
    std::string erreur = sortie.erreur();
    std::string fermeture;
    if (!liste.fermer(fermeture) && erreur.empty()) erreur = fermeture;

    Bilan b;
    b.trouve = s.K1 > 0;
    b.interrompu = fin == Recherche::Fin::interrompu && erreur.empty();
    b.complet = erreur.empty() && (fin == Recherche::Fin::trouve || fin == Recherche::Fin::aucune);
    b.raison = b.complet ? nullptr : raisonDe(fin, erreur);
    std::ostringstream rapport;
    if (c.json) rapportJson(rapport, c, s, b);
    else rapportTexte(rapport, c, s, b);
    std::string erreurRapport;
    if (!ecrireSortieStandard(rapport.str(), erreurRapport) && erreur.empty()) erreur = erreurRapport;
    if (!erreur.empty()) {
        std::cerr << erreur << '\n';
        return STATUT_ECRITURE;
    }
    if (b.interrompu) return signal != 0 ? 128 + signal : 130;
    if (fin == Recherche::Fin::tropLong) return STATUT_LIMITE;
    return b.trouve ? 0 : 1;
}

}  // namespace egypte
