// The lines of a scan on standard output or in the file of --sortie, each
// flushed when it is handed over, and synced to the disk before a journal
// records it: "q: c1 c2 ... ck", with
// " ; sans : m" when m numerators have no expansion under the constraints,
// or "q: n" (n the minimal length of (q - 1)/q, "sans" when it has none);
// before it, one line "record n : p/q" for each length it is the first to
// need. With --json, one JSON object per line instead.
#ifndef EGYPTE_OUTPUT_BALAYAGE_SORTIE_H
#define EGYPTE_OUTPUT_BALAYAGE_SORTIE_H

#include <string>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/journal.h"
#include "output/liste.h"

namespace egypte {

class SortieBalayage : public RecepteurBalayage, public Ecrivain {
public:
    // The lines in the file `chemin` (empty: standard output), kept with a
    // journal or not.
    SortieBalayage(bool moinsUn, bool json, const std::string& chemin = "", bool journal = false)
        : moinsUn_(moinsUn), json_(json), chemin_(chemin), journal_(journal), liste_(Liste::Contenu::balayage)
    {
    }
    bool recevoir(const LigneBalayage& l, const std::vector<RecordBalayage>& records, std::string& erreur) override;
    std::string genre() const override { return chemin_.empty() ? "sortie-standard" : "fichier"; }
    void commencer(const Position* reprise) override;
    bool ecrire(Position& p, std::string& erreur) override;

    // The output closed, everything in it on the disk; false with one line
    // in `erreur` when that failed.
    bool fermer(std::string& erreur) { return liste_.fermer(erreur); }

    // The text of one line and its records, as recevoir writes them.
    std::string texte(const LigneBalayage& l, const std::vector<RecordBalayage>& records) const;

private:
    const bool moinsUn_, json_;
    const std::string chemin_;
    const bool journal_;
    Liste liste_;
    std::string derniere_;  // the last line written
    std::string fin_ = "-";  // checksum of the last line, as recorded
};

}  // namespace egypte

#endif
