// Work units dealt out through a Transport of text messages: the search's
// side (the internal Reseau on top of a Transport) and the walking side
// (Ouvrier: an Atelier, with the problem set up at each length it is given).
#include <atomic>
#include <map>
#include <memory>
#include <sstream>

#include "interface/chercher.h"
#include "interface/debut.h"
#include "egypte/reseau.h"
#include "unites/atelier.h"
#include "estimation/estimation.h"
#include "unites/messages.h"

namespace egypte {

namespace {

[[noreturn]] void illisible(const char* quoi)
{
    throw Erreur(Erreur::Genre::message, std::string(quoi) + " illisible d'un autre processus");
}

class ReseauTransport : public Reseau {
public:
    explicit ReseauTransport(Transport& t) : t_(t) {}
    int fils() const override { return t_.fils(); }
    int places() override { return t_.places(); }
    void confier(int n, long id, const Element& el) override
    {
        std::ostringstream o;
        ecrireUnite(o, el);
        t_.confier(n, id, o.str());
    }
    void expedier() override { t_.expedier(); }
    std::vector<long> recevoir(const std::map<long, Element*>& dehors) override
    {
        std::vector<long> ids;
        for (const auto& [id, texte] : t_.recevoir()) {
            const auto it = dehors.find(id);
            if (it == dehors.end()) illisible("resultat");
            std::istringstream in(texte);
            lireResultat(in, *it->second);
            if (!in) illisible("resultat");
            ids.push_back(id);
        }
        return ids;
    }
    void arreter() override { t_.arreter(); }

private:
    Transport& t_;
};

}  // namespace

Resultat chercher(const Probleme& p, const Demande& d, Recepteur* r, Transport& t)
{
    ReseauTransport reseau(t);
    Moteur m;
    m.reseau = [&reseau](const Recherche&) { return &reseau; };
    return chercher(p, d, r, m);
}

struct Ouvrier::Etat {
    Etat(const Probleme& p, const Demande& d, int fils)
        : probleme(reste(p)), compteSeul(d.montrer == Montrer::compter),
          // The results go back when half of the units in hand are done.
          atelier(fils, arret, static_cast<std::size_t>(placesParFil(!compteSeul) * fils / 2))
    {
    }
    const Probleme probleme;
    const bool compteSeul;
    std::atomic<bool> arret{false};
    std::map<int, std::unique_ptr<Recherche>> modeles;  // the problem set up at each length
    std::map<long, std::unique_ptr<Element>> enMain;
    Atelier atelier;  // last: its threads end before what they read
};

Ouvrier::Ouvrier(const Probleme& p, const Demande& d, int fils) : etat_(std::make_unique<Etat>(p, d, fils)) {}

Ouvrier::~Ouvrier() = default;

void Ouvrier::confier(int n, long id, const std::string& unite)
{
    Etat& e = *etat_;
    if (n < 1 || n > LONGUEUR_MAX) illisible("unite");
    // The units of a new walk come only once every unit of a stopped one is back.
    if (e.enMain.empty()) e.arret = false;
    std::unique_ptr<Recherche>& m = e.modeles[n];
    if (!m) {
        m = std::make_unique<Recherche>();
        Recherche::Issue pourquoi;
        m->poser(e.probleme, pourquoi);
        m->compteSeul = e.compteSeul;
        poserLongueur(*m, n, pourquoi);
    }
    auto el = std::make_unique<Element>();
    std::istringstream in(unite);
    lireUnite(in, *el);
    if (!in) illisible("unite");
    Element* p = el.get();
    e.enMain[id] = std::move(el);
    e.atelier.confier(id, p, m.get());
}

std::vector<std::pair<long, std::string>> Ouvrier::finis(std::chrono::microseconds attente)
{
    std::vector<std::pair<long, std::string>> r;
    for (long id : etat_->atelier.finis(attente)) {
        std::ostringstream o;
        ecrireResultat(o, *etat_->enMain.at(id));
        etat_->enMain.erase(id);
        r.emplace_back(id, o.str());
    }
    return r;
}

void Ouvrier::arreter() { etat_->arret = true; }

}  // namespace egypte
