// The journal of a scan: the journal's file, its checks and its lock, with
// one record per denominator whose line went out, in increasing q:
//   B q sans k c1 p1 ... ck pk o h
// where o is the size of the output file after the line and h the checksum
// of its last line (0 and "-" on standard output). A scan resumes past the
// last one, with the records its lines had set, its output cut back to o.
#ifndef EGYPTE_BALAYAGE_JOURNAL_BALAYAGE_H
#define EGYPTE_BALAYAGE_JOURNAL_BALAYAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/journal.h"
#include "commun/journal.h"

namespace egypte {

class JournalBalayage : public Journal {
public:
    // The heading that names a scan: its range and every constraint.
    static std::string entete(const Probleme& contraintes, const DemandeBalayage& d, const Ecrivain* e);

    std::int64_t derniere() const { return derniere_; }  // 0: no line recorded
    const std::vector<RecordBalayage>& records() const { return records_; }
    const std::vector<bool>& vues() const { return vues_; }
    // The totals of the lines recorded.
    const TotauxBalayage& totaux() const { return totaux_; }

    // Where the output stood after the last line recorded.
    const Position& position() const { return position_; }

    Ecriture noter(const LigneBalayage& l, const Position& p);

protected:
    bool lire(const std::string& ligne) override;

private:
    std::int64_t derniere_ = 0;
    std::vector<RecordBalayage> records_;
    std::vector<bool> vues_;
    TotauxBalayage totaux_;
    Position position_;
};

}  // namespace egypte

#endif
