#include "sortie/ligne.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "egypte/journal.h"

namespace egypte {

Recepteur::Suite RecepteurListe::recevoir(const Developpement& x, std::int64_t)
{
    Suite suite;
    ligne_.clear();
    for (int a = 0; a < x.taille(); a++) {
        if (a > 0) ligne_.push_back(' ');
        // Machine words are written without a detour through a stream.
        if (NumBits(x[a]) <= 63) {
            ligne_ += std::to_string(to_long(x[a]));
        } else {
            std::ostringstream o;
            o << x[a];
            ligne_ += o.str();
        }
    }
    ligne_.push_back('\n');
    ligneNeuve_ = true;
    if (std::fwrite(ligne_.data(), 1, ligne_.size(), liste_.flux()) != ligne_.size())
        suite.ecriture = Ecriture::echec("impossible d'ecrire " + liste_.nom() + " (" + std::strerror(errno) + ")");
    return suite;
}

void RecepteurListe::commencer(const Position* reprise)
{
    liste_.ouvrir(chemin_, journal_, reprise);
    if (reprise != nullptr) fin_ = reprise->fin;
}

Ecriture RecepteurListe::ecrire(Position& p)
{
    p = Position{};
    long long position = 0;
    std::string erreur;
    if (!liste_.surLeDisque(position, erreur)) return Ecriture::echec(erreur);
    // Standard output cannot be cut back: only a file's size is recorded.
    if (!liste_.fichier()) return {};
    if (ligneNeuve_) fin_ = sommeControle(ligne_);
    ligneNeuve_ = false;
    p.octets = position;
    p.fin = position == 0 ? "-" : fin_;
    return {};
}

}  // namespace egypte
