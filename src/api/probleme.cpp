// The checks of a problem given whole, with the command line's messages, so
// that every front end refuses the same problems in the same words.
#include "api/debut.h"
#include "egypte/egypte.h"

namespace egypte {

void verifier(const Probleme& p)
{
    auto refuser = [](const std::string& m) { throw Erreur(Erreur::Genre::probleme, m); };
    if (p.P1 <= 0) refuser("numerateur nul ou negatif (entier positif attendu)");
    if (p.Q1 <= 0) refuser("denominateur nul ou negatif (entier positif attendu)");
    if (p.inconnues != Inconnues::repetees && p.inconnues != Inconnues::distinctes)
        refuser("les inconnues sont distinctes ou repetees");
    if (p.parite != Parite::indifferente && p.parite != Parite::impaires && p.parite != Parite::paires)
        refuser("--parite attend paire, impaire ou indifferente");
    const struct { const NTL::ZZ& v; const char* nom; } bornes[] = {
        {p.minx, "--min-x1"}, {p.M, "--max-xn"}, {p.minn, "--min-n"}, {p.maxn, "--max-n"}, {p.longueur, "--longueur"}};
    for (const auto& b : bornes)
        if (b.v < 0) refuser(std::string(b.nom) + " attend un entier positif ou nul");
    if (!IsZero(p.minx) && !IsZero(p.M) && p.minx >= p.M) refuser("--min-x1 doit etre inferieur a --max-xn");
    if (!IsZero(p.minn) && !IsZero(p.maxn) && p.minn >= p.maxn) refuser("--min-n doit etre inferieur a --max-n");
    if (!IsZero(p.longueur) && (!IsZero(p.minn) || !IsZero(p.maxn)))
        refuser("--longueur exclut --min-n et --max-n (la longueur est donnee)");
    verifierDebut(p);
}

const char* nomParite(Parite p)
{
    return p == Parite::paires ? "paire" : (p == Parite::impaires ? "impaire" : "indifferente");
}

bool lireParite(const std::string& mot, Parite& p)
{
    for (const Parite v : {Parite::indifferente, Parite::impaires, Parite::paires})
        if (mot == nomParite(v)) {
            p = v;
            return true;
        }
    return false;
}

}  // namespace egypte
