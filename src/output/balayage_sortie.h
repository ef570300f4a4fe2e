// The lines of a scan on standard output, each flushed when it is handed
// over (a journal records it only then): "q: c1 c2 ... ck", with
// " ; sans : m" when m numerators have no expansion under the constraints,
// or "q: n" (n the minimal length of (q - 1)/q, "sans" when it has none);
// before it, one line "record n : p/q" for each length it is the first to
// need. With --json, one JSON object per line instead.
#ifndef EGYPTE_OUTPUT_BALAYAGE_SORTIE_H
#define EGYPTE_OUTPUT_BALAYAGE_SORTIE_H

#include <string>
#include <vector>

#include "egypte/balayage.h"

namespace egypte {

class SortieBalayage : public RecepteurBalayage {
public:
    SortieBalayage(bool moinsUn, bool json) : moinsUn_(moinsUn), json_(json) {}
    bool recevoir(const LigneBalayage& l, const std::vector<RecordBalayage>& records, std::string& erreur) override;

    // The text of one line and its records, as recevoir writes them.
    std::string texte(const LigneBalayage& l, const std::vector<RecordBalayage>& records) const;

private:
    const bool moinsUn_, json_;
};

}  // namespace egypte

#endif
