// The status line of a long search. The line lives on
// standard error so that standard output stays exactly the dialogue; it is
// drawn with a carriage return and no line break, and erased by blanks, so a
// terminal shows it on the current line and a person never sees it mixed with
// the text of the dialogue.
#include "commun/progres.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>

#include "commun/avancement.h"

namespace egypte::progres {

namespace {

using Horloge = std::chrono::steady_clock;

Reglages regles;
// The status line is shared by the thread that draws it and the one that
// writes standard output: everything below is read and written under verrou.
std::recursive_mutex verrou;
bool actif = false;            // a search is running and the status may be drawn
bool dessinee = false;         // the status line is on the screen
std::size_t largeur = 0;       // characters of the line on the screen
Horloge::time_point debut;     // start of the search
Horloge::time_point dernier;   // last drawing
Description description;       // the text of the line
std::thread::id dessinateur;   // the thread that draws
std::streambuf* sortie = nullptr;  // the stream std::cout writes to, behind the relay

void ecrire(const std::string& s)
{
    const char* p = s.data();
    std::size_t reste = s.size();
    while (reste > 0) {
        const ssize_t k = ::write(regles.fd, p, reste);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return;  // a status stream that fails is simply given up
        p += k;
        reste -= static_cast<std::size_t>(k);
    }
}

// Columns of the terminal, less one so that the line never wraps (a wrapped
// line could not be erased by a carriage return).
std::size_t colonnes()
{
    winsize ws{};
    if (::ioctl(regles.fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 1) return ws.ws_col - 1u;
    return 79;
}

void dessiner()
{
    std::ostringstream o;
    description(o);
    std::string texte = o.str();
    const std::size_t max = colonnes();
    if (texte.size() > max) texte.resize(max);
    // What was written before the line goes first.
    if (sortie != nullptr) sortie->pubsync();
    std::string ligne = "\r" + texte;
    if (dessinee && largeur > texte.size()) ligne += std::string(largeur - texte.size(), ' ');
    ecrire(ligne);
    dessinee = true;
    largeur = std::max(largeur, texte.size());
}

// Sends std::cout's text on to the stream it replaced, after erasing the
// status line. Unbuffered, so that the erasure always comes first.
class Relais : public std::streambuf {
public:
    std::streambuf* dessous = nullptr;

protected:
    int overflow(int c) override
    {
        const std::lock_guard<std::recursive_mutex> garde(verrou);
        effacer();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        return dessous->sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize k) override
    {
        const std::lock_guard<std::recursive_mutex> garde(verrou);
        effacer();
        return dessous->sputn(s, k);
    }
    int sync() override
    {
        const std::lock_guard<std::recursive_mutex> garde(verrou);
        return dessous->pubsync();
    }
};

// Never destroyed: std::cout may still point at it when the process exits
// from inside a search (end of input at the paging question).
Relais& relais()
{
    static Relais* r = new Relais;
    return *r;
}

// The search looks in (every PAS steps, on every thread that walks): on the
// thread that started it, the status line is drawn when it is due.
void regarderLigne()
{
    if (std::this_thread::get_id() != dessinateur) return;
    const std::lock_guard<std::recursive_mutex> garde(verrou);
    if (!actif) return;
    const Horloge::time_point maintenant = Horloge::now();
    if (maintenant - debut < regles.delai) return;
    if (dessinee && maintenant - dernier < regles.intervalle) return;
    dernier = maintenant;
    dessiner();
}

}  // namespace

}  // namespace egypte::progres

namespace egypte::progres {

void effacer()
{
    const std::lock_guard<std::recursive_mutex> garde(verrou);
    if (!dessinee) return;
    dessinee = false;
    ecrire("\r" + std::string(largeur, ' ') + "\r");
    largeur = 0;
}

Suivi::Suivi(Description decrire)
{
    const std::lock_guard<std::recursive_mutex> garde(verrou);
    commencer();
    dessinee = false;
    largeur = 0;
    description = std::move(decrire);
    dessinateur = std::this_thread::get_id();
    actif = regles.memeSansTerminal || ::isatty(regles.fd) == 1;
    if (!actif) return;
    surRegard(regarderLigne);
    debut = Horloge::now();
    dernier = debut;
    Relais& r = relais();
    r.dessous = std::cout.rdbuf();
    sortie = r.dessous;
    std::cout.rdbuf(&r);
    relaye_ = true;
}

Suivi::~Suivi()
{
    const std::lock_guard<std::recursive_mutex> garde(verrou);
    effacer();
    actif = false;
    surRegard(nullptr);
    sortie = nullptr;
    dessinateur = std::thread::id();
    if (relaye_) std::cout.rdbuf(relais().dessous);
}

void regler(const Reglages& r) { regles = r; }

Reglages reglages() { return regles; }

}  // namespace egypte::progres
