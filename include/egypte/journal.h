// What a receiver that writes a file owes a journal. A search or a scan kept
// by a journal records, with each unit or line it finishes, where the
// receiver's file stands, and a resume takes the file up from there (cut back
// to the last point recorded), so that nothing is written twice. A receiver
// that writes such a file also derives from Ecrivain; one that writes none
// (or a caller without a journal) needs nothing of this header.
#ifndef EGYPTE_JOURNAL_H
#define EGYPTE_JOURNAL_H

#include <string>

#include "egypte/egypte.h"

namespace egypte {

// Where a receiver's file stands: its size, and the checksum of its last
// line ("-" when empty).
struct Position {
    long long octets = 0;
    std::string fin = "-";
};

class Ecrivain {
public:
    virtual ~Ecrivain() = default;
    // Where the file goes, in a word ("fichier", "sortie-standard"), part
    // of the journal's heading, so that a journal is resumed only into the
    // same kind of output.
    virtual std::string genre() const = 0;
    // Once, before anything is handed over: `reprise` is nullptr for a new
    // computation, or what an earlier run recorded in the journal as written
    // for good, which the receiver checks and takes up (its file cut back to
    // it). Throws Erreur(fichier) when it cannot; nothing was changed then.
    virtual void commencer(const Position* reprise) = 0;
    // Before a unit or a line is recorded: everything received so far is
    // written out for good, and this is where it ends. A failed writing
    // stops the computation, and nothing past the last point recorded counts
    // as done.
    virtual Ecriture ecrire(Position& p) = 0;
};

// The checksum that ends every line of a journal and names a file's last
// line (FNV-1a, 64 bits, in hex).
std::string sommeControle(const std::string& texte);

}  // namespace egypte

#endif
