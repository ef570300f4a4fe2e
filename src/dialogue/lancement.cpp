// One computation of the command line: the problem set up as the dialogue
// would from the same answers, the same search, the expansions and the report
// in the command line's own forms, and the exit status a script reads.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "dialogue/commande.h"
#include "dialogue/interruption.h"
#include "output/ligne.h"
#include "output/progres.h"
#include "search/etat.h"
#include "search/journal.h"

namespace egypte {

int lancer(const Commande& c, Reseau* reseau)
{
    std::unique_ptr<Journal> journal;
    if (!c.journal.empty()) {
        journal = std::make_unique<Journal>();
        std::string erreur;
        if (!journal->ouvrir(c.journal, enteteJournal(c), erreur)) {
            std::cerr << erreur << '\n';
            return 2;
        }
    }
    std::FILE* flux = stdout;
    if (!c.sortie.empty()) {
        // With a journal the listing of the finished units is kept (it is cut
        // back to the last of them); otherwise it is written anew.
        flux = std::fopen(c.sortie.c_str(), journal ? "a" : "w");
        if (flux == nullptr) {
            std::cerr << "egypte : impossible d'ecrire " << c.sortie << " (" << std::strerror(errno) << ")\n";
            return 2;
        }
        if (journal && !journal->aDesUnites() && ftruncate(fileno(flux), 0) != 0) {
            std::cerr << "egypte : impossible d'ecrire " << c.sortie << '\n';
            std::fclose(flux);
            return 2;
        }
    }

    Recherche s;
    s.fils = c.fils;
    s.reseau = reseau;
    SortieLigne sortie(c, flux, journal.get());
    s.sortie = &sortie;
    Recherche::Fin fin;
    if (s.poser(c.probleme, fin)) {
        const EcouteInterruption ecoute;
        // The status line only while standard output is not written.
        std::optional<progres::Suivi> suivi;
        if (c.montrer == Commande::Montrer::compter || flux != stdout)
            suivi.emplace([&s](std::ostream& o) { s.decrire(o); });
        fin = s.chercher();
    }
    // Everything found so far is written, whatever stopped the search.
    std::fflush(flux);
    if (flux != stdout) std::fclose(flux);

    Bilan b;
    b.trouve = s.K1 > 0;
    b.interrompu = fin == Recherche::Fin::interrompu;
    b.complet = fin == Recherche::Fin::trouve;
    if (c.json) rapportJson(std::cout, c, s, b);
    else rapportTexte(std::cout, c, s, b);
    std::cout.flush();
    if (b.interrompu) return 130;
    return b.trouve ? 0 : 1;
}

}  // namespace egypte
