// One status line on a terminal: a line of text drawn over itself with a
// carriage return and no line break, cut to the terminal's width (a line that
// wraps could not be taken back by the carriage return), and erased by
// blanks. The search's (progres.cpp) and the scan's (balayer.cpp) are two
// uses of it; each writes its own text.
#ifndef EGYPTE_COMMUN_LIGNE_D_ETAT_H
#define EGYPTE_COMMUN_LIGNE_D_ETAT_H

#include <chrono>
#include <cstddef>
#include <string>

namespace egypte {

class LigneDEtat {
public:
    using Horloge = std::chrono::steady_clock;

    // Draws on `fd` when `active`, never before `delai` from now, then at
    // most once every `intervalle`.
    LigneDEtat(int fd, bool active, std::chrono::milliseconds delai, std::chrono::milliseconds intervalle);
    ~LigneDEtat() { effacer(); }
    LigneDEtat(const LigneDEtat&) = delete;
    LigneDEtat& operator=(const LigneDEtat&) = delete;

    bool active() const { return active_; }
    // Whether a drawing is due at `maintenant`; if so, it counts as drawn
    // then.
    bool due(Horloge::time_point maintenant);
    // Draws `texte` in place of what the line showed.
    void dessiner(std::string texte);
    // Takes the line off the screen, if it is on it.
    void effacer();
    Horloge::time_point debut() const { return debut_; }

private:
    void ecrire(const std::string& s);
    std::size_t colonnes() const;

    const int fd_;
    const bool active_;
    const std::chrono::milliseconds delai_, intervalle_;
    const Horloge::time_point debut_;
    Horloge::time_point dernier_;
    bool dessinee_ = false;
    std::size_t largeur_ = 0;  // characters of the line on the screen
};

}  // namespace egypte

#endif
