#include "commun/ligne_d_etat.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace egypte {

LigneDEtat::LigneDEtat(int fd, bool active, std::chrono::milliseconds delai, std::chrono::milliseconds intervalle)
    : fd_(fd), active_(active), delai_(delai), intervalle_(intervalle), debut_(Horloge::now()), dernier_(debut_)
{
}

bool LigneDEtat::due(Horloge::time_point maintenant)
{
    if (!active_ || maintenant - debut_ < delai_) return false;
    if (dessinee_ && maintenant - dernier_ < intervalle_) return false;
    dernier_ = maintenant;
    return true;
}

void LigneDEtat::ecrire(const std::string& s)
{
    const char* p = s.data();
    std::size_t reste = s.size();
    while (reste > 0) {
        const ssize_t k = ::write(fd_, p, reste);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return;  // a status stream that fails is simply given up
        p += k;
        reste -= static_cast<std::size_t>(k);
    }
}

// Columns of the terminal, less one: some terminals wrap at the last column.
std::size_t LigneDEtat::colonnes() const
{
    winsize ws{};
    if (::ioctl(fd_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 1) return ws.ws_col - 1u;
    return 79;
}

void LigneDEtat::dessiner(std::string texte)
{
    if (!active_) return;
    texte.resize(std::min(texte.size(), colonnes()));
    std::string ligne = "\r" + texte;
    if (dessinee_ && largeur_ > texte.size()) ligne += std::string(largeur_ - texte.size(), ' ');
    ecrire(ligne);
    dessinee_ = true;
    largeur_ = std::max(largeur_, texte.size());
}

void LigneDEtat::effacer()
{
    if (!dessinee_) return;
    dessinee_ = false;
    ecrire("\r" + std::string(largeur_, ' ') + "\r");
    largeur_ = 0;
}

}  // namespace egypte
