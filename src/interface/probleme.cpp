// The checks of a problem given whole, so that every front end refuses the
// same problems for the same reasons; their messages name the fields through
// Terme, each front end in its own words.
#include "interface/debut.h"
#include "egypte/egypte.h"

namespace egypte {

namespace {

std::string enMots(const std::vector<Erreur::Morceau>& morceaux)
{
    std::string t;
    for (const Erreur::Morceau& m : morceaux) t += m.terme ? motDuTerme(m.quoi) : m.texte;
    return t;
}

}  // namespace

Erreur::Erreur(Genre g, std::vector<Morceau> morceaux)
    : std::runtime_error(enMots(morceaux)), genre_(g), morceaux_(std::move(morceaux))
{
}

const char* motDuTerme(Terme t)
{
    switch (t) {
    case Terme::inconnues: return "inconnues";
    case Terme::parite: return "parite";
    case Terme::minimumX1: return "minimumX1";
    case Terme::maximumXn: return "maximumXn";
    case Terme::longueurMin: return "longueurMin";
    case Terme::longueurMax: return "longueurMax";
    case Terme::longueur: return "longueur";
    case Terme::sansUn: return "sansUn";
    case Terme::fils: return "fils";
    case Terme::estimation: return "estimer";
    }
    return "?";
}

long longueurLue(const NTL::ZZ& n)
{
    return n > LONGUEUR_MAX ? LONGUEUR_MAX + 1 : (n < -1 ? -1 : NTL::to_long(n));
}

void verifier(const Probleme& p)
{
    auto refuser = [](std::vector<Erreur::Morceau> m) { throw Erreur(Erreur::Genre::probleme, std::move(m)); };
    if (p.numerateur <= 0) refuser({"numerateur nul ou negatif (entier positif attendu)"});
    if (p.denominateur <= 0) refuser({"denominateur nul ou negatif (entier positif attendu)"});
    if (p.inconnues != Inconnues::repetees && p.inconnues != Inconnues::distinctes)
        refuser({"les inconnues sont distinctes ou repetees"});
    if (p.parite != Parite::indifferente && p.parite != Parite::impaires && p.parite != Parite::paires)
        refuser({Terme::parite, " attend paire, impaire ou indifferente"});
    const bool negatifs[] = {sign(p.minimumX1) < 0, sign(p.maximumXn) < 0, p.longueurMin < 0, p.longueurMax < 0, p.longueur < 0};
    const Terme termes[] = {Terme::minimumX1, Terme::maximumXn, Terme::longueurMin, Terme::longueurMax, Terme::longueur};
    for (int i = 0; i < 5; i++)
        if (negatifs[i]) refuser({termes[i], " attend un entier positif ou nul"});
    if (!IsZero(p.minimumX1) && !IsZero(p.maximumXn) && p.minimumX1 >= p.maximumXn)
        refuser({Terme::minimumX1, " doit etre inferieur a ", Terme::maximumXn});
    // A maximum past every length searched bounds none, so it cannot
    // contradict a minimum (both may have been read from numbers beyond
    // LONGUEUR_MAX, and read alike).
    if (p.longueurMin != 0 && p.longueurMax != 0 && p.longueurMax <= LONGUEUR_MAX && p.longueurMin >= p.longueurMax)
        refuser({Terme::longueurMin, " doit etre inferieur a ", Terme::longueurMax});
    if (p.longueur != 0 && (p.longueurMin != 0 || p.longueurMax != 0))
        refuser({Terme::longueur, " exclut ", Terme::longueurMin, " et ", Terme::longueurMax, " (la longueur est donnee)"});
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
