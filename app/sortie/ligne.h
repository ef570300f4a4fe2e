// The output of the command line: the expansions one per line (the
// denominators in the walk's order, separated by one space) on standard output
// or in the listing file, every write checked, the listing synced to the disk
// before a unit is recorded in the journal; and the report at the end, in
// French or JSON.
#ifndef EGYPTE_SORTIE_LIGNE_H
#define EGYPTE_SORTIE_LIGNE_H

#include <nlohmann/json_fwd.hpp>

#include <cstdio>
#include <ostream>
#include <string>

#include "egypte/egypte.h"
#include "egypte/journal.h"
#include "egypte/meilleur.h"
#include "sortie/liste.h"

namespace egypte {

class RecepteurListe : public Recepteur, public Ecrivain {
public:
    // The listing in the file `chemin` (empty: standard output), kept with a
    // journal or not.
    RecepteurListe(const std::string& chemin, bool journal) : chemin_(chemin), journal_(journal) {}

    Suite recevoir(const Developpement& x, std::int64_t numero) override;
    std::string genre() const override { return chemin_.empty() ? "sortie-standard" : "fichier"; }
    void commencer(const Position* reprise) override;
    Ecriture ecrire(Position& p) override;

    // The listing closed, everything in it on the disk; false with one line
    // in `erreur` when that failed.
    bool fermer(std::string& erreur) { return liste_.fermer(erreur); }
    bool surSortieStandard() const { return liste_.flux() == stdout; }

private:
    const std::string chemin_;
    const bool journal_;
    Liste liste_;
    std::string ligne_;        // the line being written, kept to spare allocations
    bool ligneNeuve_ = false;  // ligne_ was written since the last unit recorded
    std::string fin_ = "-";    // checksum of the listing's last line, as recorded
};

// The lines of a report that name the problem (the fraction, the
// constraints), and the same as fields of a JSON object (fraction,
// fraction_reduite, contraintes): every report starts with them. P/Q is the
// fraction in lowest terms, `sansUn` whether the value 1 was excluded.
void rapportProbleme(std::ostream& o, const Probleme& p, const NTL::ZZ& P, const NTL::ZZ& Q, bool sansUn);
void problemeJson(nlohmann::json& j, const Probleme& p, const NTL::ZZ& P, const NTL::ZZ& Q, bool sansUn);

// The report of the computation in French (text) or as one JSON object
// (rapportObjet: that object, which a scan writes one a fraction).
void rapportTexte(std::ostream& o, const Probleme& p, const Resultat& r);
void rapportJson(std::ostream& o, const Probleme& p, const Resultat& r);
nlohmann::json rapportObjet(const Probleme& p, const Resultat& r);

// The report of a best expansion: the problem, the length, the expansion
// and whether it is proven best.
void rapportMeilleurTexte(std::ostream& o, const Probleme& p, const ResultatMeilleur& m);
nlohmann::json rapportMeilleurObjet(const Probleme& p, const ResultatMeilleur& m);

}  // namespace egypte

#endif
