// The lines of a scan on standard output or in the file of --sortie, each
// flushed when it is handed over, and synced to the disk before a journal
// records it: "q: c1 c2 ... ck", with
// " ; sans : m" when m numerators have no expansion under the constraints
// and " ; limite : m" when m met none up to the length limit (not known),
// or "q: n" (n the minimal length of (q - 1)/q, "sans" when it has none,
// "limite"); before it, one line "record n : p/q" for each length it is the
// first to need. With --json, one JSON object per line instead. In the modes
// with a result per fraction, a line per fraction instead: "q a(n)" of a
// family's count ("p/q a" over every p), "p/q: x1 ... xn" of its best
// expansion, "p/q: n" of a fraction past K terms (none for those within),
// "limite" for the count, the expansion or the length of a fraction that
// met none up to the length limit; with --json, the object of the single
// command's report, or {"complet", "longueur", "p", "q", "raison"}.
#ifndef EGYPTE_SORTIE_BALAYAGE_SORTIE_H
#define EGYPTE_SORTIE_BALAYAGE_SORTIE_H

#include <string>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/journal.h"
#include "sortie/liste.h"

namespace egypte {

class RecepteurTableau : public RecepteurBalayage, public Ecrivain {
public:
    // The lines in the file `chemin` (empty: standard output), kept with a
    // journal or not.
    RecepteurTableau(const Probleme& contraintes, const DemandeBalayage& d, bool json, const std::string& chemin = "",
                   bool journal = false)
        : contraintes_(contraintes), demande_(d), moinsUn_(d.moinsUn), json_(json), chemin_(chemin), journal_(journal),
          liste_(Liste::Contenu::balayage)
    {
    }
    Ecriture recevoir(const LigneBalayage& l, const std::vector<RecordBalayage>& records) override;
    // With the format: a resume never writes JSON after text, nor text after JSON.
    std::string genre() const override
    {
        return std::string(chemin_.empty() ? "sortie-standard" : "fichier") + (json_ ? "-json" : "");
    }
    void commencer(const Position* reprise) override;
    Ecriture ecrire(Position& p) override;

    // The output closed, everything in it on the disk; false with one line
    // in `erreur` when that failed.
    bool fermer(std::string& erreur) { return liste_.fermer(erreur); }

    // The text of one line and its records, as recevoir writes them.
    std::string texte(const LigneBalayage& l, const std::vector<RecordBalayage>& records) const;

private:
    // The lines of the modes with a result per fraction.
    void fractions(std::ostream& o, const LigneBalayage& l) const;

    const Probleme contraintes_;
    const DemandeBalayage demande_;
    const bool moinsUn_, json_;
    const std::string chemin_;
    const bool journal_;
    Liste liste_;
    std::string derniere_;  // the last line written
    std::string fin_ = "-";  // checksum of the last line, as recorded
};

}  // namespace egypte

#endif
