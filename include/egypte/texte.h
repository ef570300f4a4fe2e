// Text for messages: a name or a value given by the user, as a message
// writes it.
#ifndef EGYPTE_TEXTE_H
#define EGYPTE_TEXTE_H

#include <cstddef>
#include <string>

namespace egypte {

// Printable ASCII only, so that the message stays one line whatever bytes
// the name holds, quoted (an empty name or one with blanks shows), and cut
// past `longueurMax` characters.
std::string citer(const std::string& s, std::size_t longueurMax = 40);

}  // namespace egypte

#endif
