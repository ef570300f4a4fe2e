#include "commun/fils.h"

#include <cstdlib>

#include "egypte/egypte.h"

namespace egypte {

int nombreDeFils(int demande)
{
    if (demande > 0) return demande;
    if (const char* v = std::getenv("EGYPTE_FILS")) {
        char* fin = nullptr;
        const long k = std::strtol(v, &fin, 10);
        if (fin != v && *fin == '\0' && k > 0 && k <= 1024) return static_cast<int>(k);
    }
    return nombreDeCoeurs();
}

}  // namespace egypte
