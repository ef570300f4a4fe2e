#include "commun/fils.h"

#include <cstdlib>
#include <thread>

#include "egypte/egypte.h"

namespace egypte {

int nombreDeCoeurs()
{
    const unsigned c = std::thread::hardware_concurrency();
    return c == 0 ? 1 : static_cast<int>(c);
}

std::optional<int> lireFils(const std::string& texte)
{
    // Leading zeros allowed; past them, at most four digits.
    const std::size_t debut = texte.find_first_not_of('0');
    if (texte.empty() || texte.find_first_not_of("0123456789") != std::string::npos || debut == std::string::npos ||
        texte.size() - debut > 4)
        return std::nullopt;
    const int n = std::stoi(texte.substr(debut));
    if (n < 1 || n > 1024) return std::nullopt;
    return n;
}

int nombreDeFils(int demande)
{
    if (demande > 0) return demande;
    // A front end refuses a value lireFils does not read; here it is
    // passed over, for the library's callers that never looked at it.
    if (const char* v = std::getenv("EGYPTE_FILS"))
        if (const std::optional<int> k = lireFils(v)) return *k;
    return nombreDeCoeurs();
}

}  // namespace egypte
