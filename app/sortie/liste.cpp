#include "sortie/liste.h"

#include <fcntl.h>
#include <libgen.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#include "egypte/journal.h"
#include "egypte/texte.h"

namespace egypte {

namespace {

std::string raison() { return std::string(" (") + std::strerror(errno) + ")"; }

// Reads len bytes at `position`; false on a read error or a short file.
bool lireA(int fd, long long position, char* tampon, std::size_t len)
{
    std::size_t fait = 0;
    while (fait < len) {
        const ssize_t l = ::pread(fd, tampon + fait, len - fait, static_cast<off_t>(position) + static_cast<off_t>(fait));
        if (l < 0 && errno == EINTR) continue;
        if (l <= 0) return false;
        fait += static_cast<std::size_t>(l);
    }
    return true;
}

// The checksum of the line that ends at byte `fin` (its line break
// included), "" when the byte before `fin` is no line break or cannot be read.
std::string sommeDerniereLigne(int fd, long long fin)
{
    char c = 0;
    if (!lireA(fd, fin - 1, &c, 1) || c != '\n') return "";
    // Back to the line break before it, a block at a time.
    long long debut = fin - 1;
    std::vector<char> bloc(4096);
    while (debut > 0) {
        const long long de = debut >= static_cast<long long>(bloc.size()) ? debut - static_cast<long long>(bloc.size()) : 0;
        const std::size_t len = static_cast<std::size_t>(debut - de);
        if (!lireA(fd, de, bloc.data(), len)) return "";
        std::size_t k = len;
        while (k > 0 && bloc[k - 1] != '\n') k--;
        if (k > 0) {
            debut = de + static_cast<long long>(k);
            break;
        }
        debut = de;
    }
    std::string ligne(static_cast<std::size_t>(fin - debut), '\0');
    if (!lireA(fd, debut, &ligne[0], ligne.size())) return "";
    return sommeControle(ligne);
}

// What lies from `debut` to the end holds only the characters of `contenu`
// (the lines of units not yet recorded when the run stopped).
bool queDesLignes(int fd, long long debut, long long taille, const char* contenu)
{
    bool permis[256] = {};
    for (const char* c = contenu; *c != 0; c++) permis[static_cast<unsigned char>(*c)] = true;
    std::vector<char> bloc(65536);
    for (long long p = debut; p < taille;) {
        const std::size_t len = static_cast<std::size_t>(std::min<long long>(taille - p, static_cast<long long>(bloc.size())));
        if (!lireA(fd, p, bloc.data(), len)) return false;
        for (std::size_t k = 0; k < len; k++)
            if (!permis[static_cast<unsigned char>(bloc[k])]) return false;
        p += static_cast<long long>(len);
    }
    return true;
}

std::string normalise(const std::string& nom)
{
    std::string a = nom, b = nom;
    char resolu[PATH_MAX];
    const std::string dossier = ::dirname(&a[0]);
    const std::string base = ::basename(&b[0]);
    if (::realpath(dossier.c_str(), resolu) == nullptr) return nom;
    return std::string(resolu) + "/" + base;
}

}  // namespace

bool ecrireSortieStandard(const std::string& texte, std::string& erreur)
{
    // Whatever the C++ streams hold goes first.
    std::cout.flush();
    if (std::fwrite(texte.data(), 1, texte.size(), stdout) == texte.size() && std::fflush(stdout) == 0) return true;
    erreur = std::string("impossible d'ecrire la sortie standard (") + std::strerror(errno) + ")";
    return false;
}

bool memeFichier(const std::string& a, const std::string& b)
{
    if (a == b) return true;
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return normalise(a) == normalise(b);
}

bool sortieStandardVers(const std::string& chemin)
{
    struct stat sortie {}, fichier {};
    return ::fstat(STDOUT_FILENO, &sortie) == 0 && S_ISREG(sortie.st_mode) && ::stat(chemin.c_str(), &fichier) == 0 &&
           sortie.st_dev == fichier.st_dev && sortie.st_ino == fichier.st_ino;
}

Liste::~Liste()
{
    if (flux_ != stdout && flux_ != nullptr) std::fclose(flux_);
}

void Liste::ouvrir(const std::string& chemin, bool journal, const Position* reprise)
{
    if (chemin.empty()) return;
    nom_ = citer(chemin, 256);
    auto refus = [](const std::string& texte) { return Erreur(Erreur::Genre::fichier, texte); };
    const long long octets = reprise != nullptr ? reprise->octets : 0;
    const std::string fin = reprise != nullptr ? reprise->fin : "-";

    struct stat avant {};
    if (::stat(chemin.c_str(), &avant) == 0 && !S_ISREG(avant.st_mode)) {
        // A device, a FIFO: written as it is, but never with a journal, which
        // cuts its listing back to what the finished units wrote.
        if (journal)
            throw refus("avec --journal, la liste " + nom_ +
                        " doit etre un fichier ordinaire (elle est coupee a ce que notent les unites finies)");
        flux_ = std::fopen(chemin.c_str(), "w");
        if (flux_ == nullptr) throw refus("impossible d'ecrire " + nom_ + raison());
        return;
    }
    int fd = ::open(chemin.c_str(), O_RDWR | O_CLOEXEC);
    bool cree = false;
    if (fd < 0 && errno == ENOENT) {
        if (octets > 0)
            throw refus("la liste " + nom_ + " que decrit le journal est introuvable (le journal y note " +
                        std::to_string(octets) + " octets deja ecrits) ; rien n'est change");
        fd = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        cree = fd >= 0;
    }
    if (fd < 0) throw refus("impossible d'ecrire " + nom_ + raison());
    auto refuser = [&](const std::string& texte) {
        if (cree) ::unlink(chemin.c_str());
        ::close(fd);
        return refus(texte);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw refuser("impossible d'ecrire " + nom_ + raison());
    fichier_ = S_ISREG(st.st_mode);
    if (fichier_) {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            throw refuser("la liste " + nom_ + " est deja ecrite par un autre calcul en cours");
        const long long taille = st.st_size;
        if (reprise == nullptr && taille > 0)
            throw refuser("la liste " + nom_ +
                          " existe deja et n'est pas vide ; elle n'est jamais ecrasee (supprimez-la ou choisissez "
                          "un autre nom)");
        if (taille < octets)
            throw refuser("la liste " + nom_ + " est plus courte (" + std::to_string(taille) +
                          " octets) que ce que le journal y note (" + std::to_string(octets) +
                          ") : ce n'est pas la liste de ce calcul ; rien n'est change");
        if (octets > 0 && sommeDerniereLigne(fd, octets) != fin)
            throw refuser("la liste " + nom_ +
                          " n'est pas celle que decrit le journal (sa derniere ligne notee differe) ; rien n'est "
                          "change");
        const bool developpements = contenu_ == Contenu::developpements;
        if (!queDesLignes(fd, octets, taille,
                          developpements ? "0123456789 \n" : "0123456789 \nabcdefghijklmnopqrstuvwxyz_:;/{}[]\","))
            throw refuser("la liste " + nom_ + " contient, apres ce que le journal y note, autre chose que des " +
                          (developpements ? "developpements" : "lignes de balayage") + " ; rien n'est change");
        // Past the finished units: the expansions of the units that were
        // not recorded, written again by this run.
        if (taille > octets && (::ftruncate(fd, static_cast<off_t>(octets)) != 0 || ::fdatasync(fd) != 0))
            throw refuser("impossible d'ecrire " + nom_ + raison());
        if (::lseek(fd, 0, SEEK_END) < 0) throw refuser("impossible d'ecrire " + nom_ + raison());
    }
    flux_ = ::fdopen(fd, "w");
    if (flux_ == nullptr) throw refuser("impossible d'ecrire " + nom_ + raison());
}

bool Liste::surLeDisque(long long& octets, std::string& erreur)
{
    octets = 0;
    if (std::fflush(flux_) != 0) {
        erreur = "impossible d'ecrire " + nom_ + raison();
        return false;
    }
    if (!fichier_) return true;
    if (::fdatasync(fileno(flux_)) != 0) {
        erreur = "impossible d'ecrire " + nom_ + " sur le disque" + raison();
        return false;
    }
    const long position = std::ftell(flux_);
    if (position < 0) {
        erreur = "impossible de lire la position dans " + nom_ + raison();
        return false;
    }
    octets = position;
    return true;
}

bool Liste::fermer(std::string& erreur)
{
    int e = 0;
    if (std::fflush(flux_) != 0 || (fichier_ && ::fdatasync(fileno(flux_)) != 0)) e = errno;
    if (flux_ != stdout) {
        if (std::fclose(flux_) != 0 && e == 0) e = errno;
        flux_ = nullptr;
    }
    if (e != 0) erreur = "impossible d'ecrire " + nom_ + " (" + std::strerror(e) + ")";
    return e == 0;
}

}  // namespace egypte
