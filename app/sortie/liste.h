// The listing of a command-line computation: standard output, or the file of
// --sortie, opened so that nothing is ever destroyed. A new listing goes
// only where no file or an empty one stands; a listing resumed with its
// journal is first checked to be the one the journal describes (long enough,
// its last recorded line intact, nothing but expansions past it) and only
// then cut back to what the finished units wrote; a listing file is locked
// for the whole run.
#ifndef EGYPTE_SORTIE_LISTE_H
#define EGYPTE_SORTIE_LISTE_H

#include <cstdio>
#include <string>

#include "egypte/egypte.h"
#include "egypte/journal.h"

namespace egypte {

class Liste {
public:
    // The characters of the lines written: past what a journal records, a
    // listing resumed may hold nothing else (the lines of a run stopped
    // before they were recorded), or it is not this listing.
    enum class Contenu { developpements, balayage };

    explicit Liste(Contenu contenu = Contenu::developpements) : contenu_(contenu) {}
    Liste(const Liste&) = delete;
    Liste& operator=(const Liste&) = delete;
    ~Liste();

    // Opens the listing `chemin` (empty: standard output), kept with a
    // journal or not; `reprise`: what the journal recorded of it (nullptr for
    // a new computation). Throws Erreur(fichier) when it cannot be used;
    // nothing was changed then.
    void ouvrir(const std::string& chemin, bool journal, const Position* reprise);
    // Everything written is flushed, on the disk for a file, and the file
    // closed. False with one French line in `erreur` when that failed.
    bool fermer(std::string& erreur);
    // Everything written flushed and, for a file, synced to the disk, with
    // its size in `octets` (0 on standard output or a device, which cannot be
    // cut back). False with one French line in `erreur` when that failed.
    bool surLeDisque(long long& octets, std::string& erreur);

    std::FILE* flux() const { return flux_; }
    const std::string& nom() const { return nom_; }  // as written in messages
    bool fichier() const { return fichier_; }       // a regular file

private:
    std::FILE* flux_ = stdout;
    std::string nom_ = "la sortie standard";
    bool fichier_ = false;
    const Contenu contenu_;
};

// Writes `texte` on standard output and flushes it; false with one French
// line in `erreur` when that failed (a full disk, a closed pipe).
bool ecrireSortieStandard(const std::string& texte, std::string& erreur);

// Two names of one file: the same name, or two names that reach the same
// file (links, ./x and x). A name that reaches no file yet is compared as
// written.
bool memeFichier(const std::string& a, const std::string& b);

// Standard output is the file `chemin` (a shell's `> chemin`): a journal or
// a listing there would be mixed with the report and destroyed.
bool sortieStandardVers(const std::string& chemin);

}  // namespace egypte

#endif
