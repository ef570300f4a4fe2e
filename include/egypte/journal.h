// What a receiver that writes a listing needs of the journal: the checksum
// of its last line, which it gives with its size (Recepteur::Position) when a
// unit or a line is recorded, so that a resume can tell whether the listing
// is still the one the journal describes.
#ifndef EGYPTE_JOURNAL_H
#define EGYPTE_JOURNAL_H

#include <string>

namespace egypte {

// The checksum that ends every line of a journal and names a listing's last
// line (FNV-1a, 64 bits, in hex).
std::string sommeControle(const std::string& texte);

}  // namespace egypte

#endif
