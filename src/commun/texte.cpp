#include "egypte/texte.h"

namespace egypte {

std::string citer(const std::string& s, std::size_t longueurMax)
{
    std::string r = "'";
    for (std::size_t k = 0; k < s.size() && k < longueurMax; k++) {
        const unsigned char ch = static_cast<unsigned char>(s[k]);
        r.push_back(ch >= 0x20 && ch < 0x7f ? static_cast<char>(ch) : '?');
    }
    if (s.size() > longueurMax) r += "...";
    return r + "'";
}

}  // namespace egypte
