#include "commun/journal.h"
#include "egypte/texte.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

const char* const DEBUT_ENTETE = "egypte-journal ";

}  // namespace

Journal::~Journal()
{
    if (fd_ < 0) return;
    // A journal this run created and never wrote into (the run was refused
    // before it began) is not left behind.
    if (cree_ && !ecrit_) ::unlink(chemin_.c_str());
    ::close(fd_);
}

std::string Journal::nomCite() const { return citer(chemin_, 256); }

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
        if (!(in >> u.numero >> u.bilan.nombre >> u.bilan.plusGrandXn >> u.bilan.plusPetitX1 >> u.bilan.plusPetitXn >>
              u.octets >> u.fin))
            return false;
        if (u.octets < 0 || u.octets < derniere_.octets) return false;
        dernieres_[n] = u;
        derniere_ = u;
        return true;
    }
    return false;
}

namespace {

// A journal that cannot be used: nothing was written into it.
[[noreturn]] void refuser(const std::string& ligne) { throw Erreur(Erreur::Genre::fichier, ligne); }

}  // namespace

void Journal::ouvrir(const std::string& chemin, const std::string& entete)
{
    chemin_ = chemin;
    entete_ = entete;
    // Not blocking, so that a FIFO cannot hold the run before it is refused.
    fd_ = ::open(chemin.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT) {
        fd_ = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC, 0644);
        cree_ = fd_ >= 0;
    }
    if (fd_ < 0) {
        refuser("impossible d'ouvrir le journal " + nomCite() + " (" + std::strerror(errno) + ")");
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        refuser("le journal " + nomCite() + " n'est pas un fichier ordinaire");
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) refuser("le journal " + nomCite() + " est deja utilise par un autre calcul en cours");
        refuser("impossible de verrouiller le journal " + nomCite() + " (" + std::strerror(errno) + ")");
    }
    lireTout();
}

// Reads the whole, correct lines. Only the last line may be torn (a stop in
// the middle of its writing): it is set aside, to be cut away by preparer.
// Any other damage, and anything that is not a journal, is refused.
void Journal::lireTout()
{
    std::vector<std::string> lignes;
    std::string courante, premiere;
    bool dechiree = false, trop = false;
    char tampon[65536];
    for (;;) {
        const ssize_t lu = ::read(fd_, tampon, sizeof tampon);
        if (lu < 0 && errno == EINTR) continue;
        if (lu < 0) {
            refuser("impossible de lire le journal " + nomCite() + " (" + std::strerror(errno) + ")");
        }
        if (lu == 0) break;
        for (ssize_t k = 0; k < lu; k++) {
            taille_++;
            if (tampon[k] != '\n') {
                if (courante.size() >= LIGNE_MAX) trop = true;
                else courante.push_back(tampon[k]);
                continue;
            }
            std::string contenu;
            const bool bonne = !trop && verifier(courante, contenu);
            if (taille_ == static_cast<long long>(courante.size()) + 1) premiere = courante;
            // A bad line that is not the last one is damage, not a stop.
            if (dechiree) {
                refuser("le journal " + nomCite() + " est endommage (ligne " +
                         std::to_string(lignes.size() + 1) + ")");
            }
            if (bonne) {
                lignes.push_back(contenu);
                bon_ = taille_;
            } else {
                dechiree = true;
            }
            courante.clear();
            trop = false;
            // What is past the first line, when it is not a journal, need not be read.
            if (lignes.empty()) break;
        }
        if (lignes.empty() && (dechiree || trop)) break;
    }
    if ((!courante.empty() || trop) && dechiree && !lignes.empty()) {
        refuser("le journal " + nomCite() + " est endommage (ligne " + std::to_string(lignes.size() + 1) + ")");
    }
    if (taille_ == 0) {
        nouveau_ = true;
        return;
    }
    if (lignes.empty() && premiere.empty()) premiere = courante;
    if (lignes.empty() && premiere.rfind(DEBUT_ENTETE, 0) == 0) {
        refuser("l'entete du journal " + nomCite() + " est dechiree ou endommagee (il n'est pas touche)");
    }
    if (lignes.empty() || lignes[0].rfind(DEBUT_ENTETE, 0) != 0) {
        refuser(nomCite() +
                 " n'est pas un journal d'egypte (il n'est pas touche ; un nouveau journal se cree dans un fichier "
                 "absent ou vide)");
    }
    if (lignes[0] != entete_) {
        refuser("le journal " + nomCite() + " est celui d'un autre calcul ou d'une autre version");
    }
    for (std::size_t k = 1; k < lignes.size(); k++)
        if (!lire(lignes[k])) refuser("le journal " + nomCite() + " est illisible (ligne " + std::to_string(k + 1) + ")");
    // A torn last line lies past bon_: preparer cuts it away.
}

Ecriture Journal::preparer()
{
    if (nouveau_) {
        nouveau_ = false;
        return ecrire(entete_);
    }
    if (bon_ == taille_) return {};
    ecrit_ = true;
    if (::ftruncate(fd_, static_cast<off_t>(bon_)) != 0 || ::fdatasync(fd_) != 0)
        return Ecriture::echec("impossible d'ecrire le journal " + nomCite() + " (" + std::strerror(errno) + ")");
    taille_ = bon_;
    return {};
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

Ecriture Journal::ecrire(const std::string& ligne)
{
    const std::string complete = ligne + " " + sommeControle(ligne) + "\n";
    ecrit_ = true;
    std::size_t fait = 0;
    while (fait < complete.size()) {
        const ssize_t e = ::pwrite(fd_, complete.data() + fait, complete.size() - fait,
                                   static_cast<off_t>(taille_ + static_cast<long long>(fait)));
        if (e < 0 && errno == EINTR) continue;
        if (e <= 0) {
            const int raison = e < 0 ? errno : ENOSPC;
            // A part of the line may be there: the next run cuts it away as a
            // torn last line, and this one writes nothing more.
            return Ecriture::echec("impossible d'ecrire le journal " + nomCite() + " (" + std::strerror(raison) + ")");
        }
        fait += static_cast<std::size_t>(e);
    }
    if (::fdatasync(fd_) != 0)
        return Ecriture::echec("impossible d'ecrire le journal " + nomCite() + " sur le disque (" + std::strerror(errno) + ")");
    taille_ += static_cast<long long>(complete.size());
    bon_ = taille_;
    return {};
}

Ecriture Journal::noterVide(int n)
{
    vides_.insert(n);
    return ecrire("L " + std::to_string(n));
}

Ecriture Journal::noterProfondeur(int n, int k)
{
    profondeurs_[n] = k;
    return ecrire("D " + std::to_string(n) + " " + std::to_string(k));
}

Ecriture Journal::noterUnite(int n, const Unite& u)
{
    std::ostringstream o;
    o << "U " << n << ' ' << u.numero << ' ' << u.bilan.nombre << ' ' << u.bilan.plusGrandXn << ' ' << u.bilan.plusPetitX1 << ' '
      << u.bilan.plusPetitXn << ' ' << u.octets << ' ' << u.fin;
    Ecriture e = ecrire(o.str());
    if (!e.reussie()) return e;
    dernieres_[n] = u;
    derniere_ = u;
    return e;
}

}  // namespace egypte
