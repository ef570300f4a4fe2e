// The lengths a problem allows, read once for every path.
#ifndef EGYPTE_MARCHE_PROBLEME_H
#define EGYPTE_MARCHE_PROBLEME_H

#include <NTL/ZZ.h>

#include "egypte/egypte.h"

namespace egypte {



// The lengths a problem allows, read from --longueur, --min-n and --max-n
// once for every path (the single search and the scan), in machine words: a
// bound of any size beyond LONGUEUR_MAX reads as LONGUEUR_MAX + 1, so that a
// first length there lies past every length searched and a last length
// there bounds none of them.
struct Longueurs {
    long premiere = 1;
    long derniere = LONGUEUR_MAX + 1;
    bool auDela() const { return premiere > LONGUEUR_MAX; }
};
Longueurs longueursPermises(const Probleme& p);

}  // namespace egypte

#endif
