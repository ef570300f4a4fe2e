// The output of the command line: the expansions one per line (the
// denominators in the walk's order, separated by one space), the first K, one
// in every K or none, counted and with their extremes kept; the record of the
// finished units in a journal; and the report at the end, in French or JSON.
#ifndef EGYPTE_OUTPUT_LIGNE_H
#define EGYPTE_OUTPUT_LIGNE_H

#include <nlohmann/json_fwd.hpp>

#include <cstdio>
#include <string>

#include "dialogue/commande.h"
#include "search/sortie.h"
#include "search/journal.h"

namespace egypte {

class SortieLigne : public Sortie {
public:
    // Writes to `flux` (standard output or the listing file, named `nom` in
    // messages; `fichier`: a regular file, synced to the disk before a unit
    // is recorded); `journal` may be nullptr. `derniere` is the last unit an
    // earlier run recorded, whose listing `flux` already holds.
    SortieLigne(const Commande& c, std::FILE* flux, const std::string& nom, bool fichier, Journal* journal);

    void developpement(Recherche& s) override;
    bool lot(Recherche& s, const Collecte& c, std::size_t debut) override;
    bool compteSeulement() const override { return montrer_ == Commande::Montrer::compter; }
    void longueurFaite(int n) override;
    bool longueurVide(int n) override;
    int profondeur(int n, int choisie) override;
    long unitesFaites(Recherche& s, int n) override;
    void uniteFaite(Recherche& s, long numero) override;

    // The first write that failed (a French line "egypte : ..."), empty when
    // none did. A failure stops the search at once, as Ctrl-C does: nothing
    // past it is recorded as done.
    const std::string& erreur() const { return erreur_; }

private:
    const Commande::Montrer montrer_;
    long long k_;      // K of the first K / one in every K; 0 when beyond 62 bits (every one but the first is past it)
    std::FILE* flux_;
    const std::string nom_;
    const bool fichier_;
    Journal* journal_;
    std::string ligne_;      // the line being written, kept to spare allocations
    bool ligneNeuve_ = false;  // ligne_ was written since the last unit recorded
    std::string fin_ = "-";  // checksum of the listing's last line, as recorded
    std::string erreur_;

    bool montree(std::int64_t numero) const;
    void ecrire(const Recherche& s);
    void echec(const std::string& message);
    bool noter(bool ecrit, const std::string& message);
};

// How a command-line computation ended, for its report and exit status.
struct Bilan {
    bool trouve = false;     // expansions were found
    bool complet = false;    // the search went to its end: the count is the whole count
    bool interrompu = false;
    // Why the search did not go to its end, for the JSON report: "interrompu"
    // (a signal), "premieres" (the first K were shown), "limite_longueur"
    // (no expansion up to the largest length searched), "erreur_ecriture".
    const char* raison = nullptr;
};

// The lines of a report that name the problem (the fraction, the
// constraints), and the same as fields of a JSON object (fraction,
// fraction_reduite, contraintes): every report starts with them.
void rapportProbleme(std::ostream& o, const Commande& c, const Recherche& s);
void problemeJson(nlohmann::json& j, const Commande& c, const Recherche& s);

// The report of the computation in French (text) or as one JSON object.
void rapportTexte(std::ostream& o, const Commande& c, const Recherche& s, const Bilan& b);
void rapportJson(std::ostream& o, const Commande& c, const Recherche& s, const Bilan& b);

// The heading line that names a computation in its journal.
std::string enteteJournal(const Commande& c);

}  // namespace egypte

#endif
