// The status line of a long search. The line lives on standard error so that
// standard output stays exactly the dialogue, and std::cout goes through a
// relay that erases it before any text, so that a person never sees it mixed
// with the text of the dialogue.
#include "commun/progres.h"

#include <unistd.h>

#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>

#include "commun/avancement.h"
#include "commun/ligne_d_etat.h"

namespace egypte::progres {

namespace {

// What the status line of the running search needs, shared by the thread that
// draws it and the one that writes standard output: read and written under
// `verrou`. Never destroyed, as the relay below, which may still reach it
// while the process exits.
struct Etat {
    Reglages regles;
    std::recursive_mutex verrou;
    std::optional<LigneDEtat> ligne;   // while a search is followed
    Description description;           // the text of the line
    std::thread::id dessinateur;       // the thread that draws
    std::streambuf* sortie = nullptr;  // the stream std::cout writes to, behind the relay
};

Etat& etat()
{
    static Etat* e = new Etat;
    return *e;
}

// Sends std::cout's text on to the stream it replaced, after erasing the
// status line. Unbuffered, so that the erasure always comes first.
class Relais : public std::streambuf {
public:
    std::streambuf* dessous = nullptr;

protected:
    int overflow(int c) override
    {
        const std::lock_guard<std::recursive_mutex> garde(etat().verrou);
        effacer();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        return dessous->sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize k) override
    {
        const std::lock_guard<std::recursive_mutex> garde(etat().verrou);
        effacer();
        return dessous->sputn(s, k);
    }
    int sync() override
    {
        const std::lock_guard<std::recursive_mutex> garde(etat().verrou);
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
    Etat& e = etat();
    if (std::this_thread::get_id() != e.dessinateur) return;
    const std::lock_guard<std::recursive_mutex> garde(e.verrou);
    if (!e.ligne || !e.ligne->due(LigneDEtat::Horloge::now())) return;
    std::ostringstream o;
    e.description(o);
    // What was written before the line goes first.
    if (e.sortie != nullptr) e.sortie->pubsync();
    e.ligne->dessiner(o.str());
}

}  // namespace

}  // namespace egypte::progres

namespace egypte::progres {

void effacer()
{
    Etat& e = etat();
    const std::lock_guard<std::recursive_mutex> garde(e.verrou);
    if (e.ligne) e.ligne->effacer();
}

Suivi::Suivi(Description decrire)
{
    Etat& e = etat();
    const std::lock_guard<std::recursive_mutex> garde(e.verrou);
    commencer();
    e.description = std::move(decrire);
    e.dessinateur = std::this_thread::get_id();
    if (!e.regles.memeSansTerminal && ::isatty(e.regles.fd) != 1) return;
    e.ligne.emplace(e.regles.fd, true, e.regles.delai, e.regles.intervalle);
    surRegard(regarderLigne);
    Relais& r = relais();
    r.dessous = std::cout.rdbuf();
    e.sortie = r.dessous;
    std::cout.rdbuf(&r);
    relaye_ = true;
}

Suivi::~Suivi()
{
    Etat& e = etat();
    const std::lock_guard<std::recursive_mutex> garde(e.verrou);
    e.ligne.reset();
    surRegard(nullptr);
    e.sortie = nullptr;
    e.dessinateur = std::thread::id();
    if (relaye_) std::cout.rdbuf(relais().dessous);
}

void regler(const Reglages& r) { etat().regles = r; }

Reglages reglages() { return etat().regles; }

}  // namespace egypte::progres
