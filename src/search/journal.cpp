#include "search/journal.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <vector>

namespace egypte {

std::string sommeControle(const std::string& texte)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : texte) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    char tampon[17];
    std::snprintf(tampon, sizeof tampon, "%016llx", static_cast<unsigned long long>(h));
    return tampon;
}

namespace {

// The line without its checksum, when the checksum is right.
bool verifier(const std::string& ligne, std::string& contenu)
{
    const std::size_t blanc = ligne.rfind(' ');
    if (blanc == std::string::npos) return false;
    contenu = ligne.substr(0, blanc);
    return ligne.substr(blanc + 1) == sommeControle(contenu);
}

}  // namespace

Journal::~Journal()
{
    if (f_ != nullptr) std::fclose(f_);
}

bool Journal::lire(const std::string& ligne)
{
    std::istringstream in(ligne);
    char sorte = 0;
    int n = 0;
    if (!(in >> sorte >> n)) return false;
    if (sorte == 'L') {
        vides_.insert(n);
        return true;
    }
    if (sorte == 'D') {
        int k = 0;
        if (!(in >> k)) return false;
        profondeurs_[n] = k;
        return true;
    }
    if (sorte == 'U') {
        Unite u;
        if (!(in >> u.numero >> u.K1 >> u.m >> u.m1 >> u.octets)) return false;
        dernieres_[n] = u;
        return true;
    }
    return false;
}

bool Journal::ouvrir(const std::string& chemin, const std::string& entete, std::string& erreur)
{
    f_ = std::fopen(chemin.c_str(), "a+");
    if (f_ == nullptr) {
        erreur = "egypte : impossible d'ouvrir le journal " + chemin + " (" + std::strerror(errno) + ")";
        return false;
    }
    std::rewind(f_);
    // Reads the complete, correct lines; the first one that is not (a line
    // torn by a stop) ends the record, and is cut away.
    std::vector<std::string> lignes;
    std::string courante;
    long bon = 0, position = 0;
    int c;
    while ((c = std::fgetc(f_)) != EOF) {
        position++;
        if (c != '\n') {
            courante.push_back(static_cast<char>(c));
            continue;
        }
        std::string contenu;
        if (!verifier(courante, contenu)) break;
        lignes.push_back(contenu);
        bon = position;
        courante.clear();
    }
    if (lignes.empty()) {
        if (ftruncate(fileno(f_), 0) != 0) {
            erreur = "egypte : impossible d'ecrire le journal " + chemin;
            return false;
        }
        ecrire(entete);
        return true;
    }
    if (lignes[0] != entete) {
        erreur = "egypte : le journal " + chemin + " est celui d'un autre calcul ou d'une autre version";
        return false;
    }
    for (std::size_t k = 1; k < lignes.size(); k++)
        if (!lire(lignes[k])) {
            bon = -1;
            break;
        }
    if (bon < 0) {
        erreur = "egypte : le journal " + chemin + " est illisible";
        return false;
    }
    if (ftruncate(fileno(f_), bon) != 0) {
        erreur = "egypte : impossible d'ecrire le journal " + chemin;
        return false;
    }
    return true;
}

int Journal::profondeur(int n) const
{
    const auto it = profondeurs_.find(n);
    return it == profondeurs_.end() ? 0 : it->second;
}

const Journal::Unite& Journal::derniere(int n) const
{
    const auto it = dernieres_.find(n);
    return it == dernieres_.end() ? aucune_ : it->second;
}

void Journal::ecrire(const std::string& ligne)
{
    const std::string complete = ligne + " " + sommeControle(ligne) + "\n";
    std::fseek(f_, 0, SEEK_END);
    std::fwrite(complete.data(), 1, complete.size(), f_);
    std::fflush(f_);
    fdatasync(fileno(f_));
}

void Journal::noterVide(int n)
{
    vides_.insert(n);
    ecrire("L " + std::to_string(n));
}

void Journal::noterProfondeur(int n, int k)
{
    profondeurs_[n] = k;
    ecrire("D " + std::to_string(n) + " " + std::to_string(k));
}

void Journal::noterUnite(int n, const Unite& u)
{
    dernieres_[n] = u;
    std::ostringstream o;
    o << "U " << n << ' ' << u.numero << ' ' << u.K1 << ' ' << u.m << ' ' << u.m1 << ' ' << u.octets;
    ecrire(o.str());
}

}  // namespace egypte
