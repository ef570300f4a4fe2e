#include "harnais.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <memory>

#include "interface/chercher.h"
#include "interface/livraison.h"
#include "dialogue/dialogue.h"
#include "unites/atelier.h"
#include "marche/recherche.h"
#include "unites/messages.h"

namespace essai {

namespace {

// Another process, in this one: every unit and every result goes through
// the text of its message, and the units are walked on threads of their own
// (which stop, and come back cut, when the walk stops).
class ReseauLocal : public egypte::Reseau {
public:
    ReseauLocal(int fils, const egypte::Recherche& modele) : modele_(modele), atelier_(fils, arret_) {}
    int fils() const override { return atelier_.fils(); }
    int places() override { return 2 * atelier_.fils() - static_cast<int>(enMain_.size()); }
    void confier(int, long id, const egypte::Element& el) override
    {
        if (enMain_.empty()) arret_ = false;
        std::stringstream texte;
        egypte::ecrireUnite(texte, el);
        auto e = std::make_unique<egypte::Element>();
        egypte::lireUnite(texte, *e);
        atelier_.confier(id, e.get(), &modele_);
        enMain_[id] = std::move(e);
    }
    void expedier() override {}
    std::vector<long> recevoir(const std::map<long, egypte::Element*>& dehors) override
    {
        const std::vector<long> ids = atelier_.finis(std::chrono::microseconds(0));
        for (long id : ids) {
            std::stringstream texte;
            egypte::ecrireResultat(texte, *enMain_.at(id));
            egypte::lireResultat(texte, *dehors.at(id));
            enMain_.erase(id);
        }
        return ids;
    }
    void arreter() override { arret_ = true; }

private:
    const egypte::Recherche& modele_;
    std::atomic<bool> arret_{false};
    std::map<long, std::unique_ptr<egypte::Element>> enMain_;
    egypte::Atelier atelier_;  // last: its threads end before the units they hold
};

}  // namespace

Console::Console(const std::string& entree)
    : in_(entree), ancienIn_(std::cin.rdbuf(in_.rdbuf())), ancienOut_(std::cout.rdbuf(out_.rdbuf()))
{
}

Console::~Console()
{
    std::cin.rdbuf(ancienIn_);
    std::cout.rdbuf(ancienOut_);
}

std::string Console::reste()
{
    std::string r;
    std::getline(in_, r, '\0');
    return r;
}

std::vector<Developpement> lignesSolutions(const std::string& texte)
{
    std::vector<Developpement> liste;
    const std::string tete = "\t \t \t ";
    std::size_t pos = 0;
    while ((pos = texte.find(tete, pos)) != std::string::npos) {
        pos += tete.size();
        const std::size_t fin = texte.find('\n', pos);
        std::istringstream ligne(texte.substr(pos, fin - pos));
        long numero;
        std::string deuxPoints;
        if (ligne >> numero >> deuxPoints && deuxPoints == ":")
            liste.emplace_back(std::istream_iterator<long>(ligne), std::istream_iterator<long>());
    }
    return liste;
}

namespace {

// Keeps every expansion handed over, as machine words.
class Releve : public egypte::Recepteur {
public:
    std::vector<Developpement> liste;
    Suite recevoir(const egypte::Developpement& x, std::int64_t) override
    {
        Developpement d;
        for (int a = 0; a < x.taille(); a++) d.push_back(NTL::to_long(x[a]));
        liste.push_back(d);
        return {};
    }
};

}  // namespace

std::vector<Developpement> parcourir(const Probleme& pb)
{
    egypte::Recherche s;
    s.cadre.P = pb.P;
    s.cadre.Q = pb.Q;
    s.marche.n = pb.n;
    s.marche.nz = pb.n;
    s.cadre.type = pb.type;
    s.cadre.parite = pb.parite;
    s.cadre.z = pb.parite == 0 ? 1 : 2;
    s.cadre.minx = pb.minx;
    s.cadre.M = pb.M;
    s.cadre.Ma = pb.M;
    s.marche.x.SetLength(s.marche.n + 1);
    s.marche.minr.SetLength(s.marche.n + 1);
    Releve releve;
    egypte::Livraison livraison(egypte::Demande{}, &releve, nullptr);
    s.sortie = &livraison;
    while (s.marche.i >= 0) {
        if (s.cadre.type == 2) s.suite2();
        else s.suite();
    }
    return releve.liste;
}

namespace {

// The engine's settings of r; the units dealt out go to `loin`, made when the
// search is set up.
egypte::Moteur moteur(const Reglages& r, std::unique_ptr<ReseauLocal>& loin)
{
    egypte::Moteur m;
    m.simple = r.simple;
    m.fils = r.fils;
    m.bitsMots = r.bits;
    m.methode = r.methode;
    m.avant = r.avant;
    m.bitsFacteurs = r.facteurs;
    m.plafondUnite = r.plafond;
    m.plafondTravail = r.travail;
    m.plafondTravailReseau = r.travail;
    m.unitesParFil = r.unitesParFil;
    m.valeursParUnite = r.valeurs;
    if (r.loin > 0)
        m.reseau = [&loin, k = r.loin](const egypte::Recherche& modele) {
            loin = std::make_unique<ReseauLocal>(k, modele);
            return loin.get();
        };
    return m;
}

}  // namespace

egypte::Resultat chercher(const egypte::Probleme& p, const egypte::Demande& d, const Reglages& r)
{
    std::unique_ptr<ReseauLocal> loin;
    return egypte::chercher(p, d, nullptr, moteur(r, loin));
}

Trace calculer(const std::string& tape, const Reglages& r)
{
    std::unique_ptr<ReseauLocal> loin;
    const egypte::Moteur m = moteur(r, loin);
    Trace t;
    {
        Console c(tape);
        t.compte = egypte::calcul([&m, &t](const egypte::Probleme& p, const egypte::Demande& d, egypte::Recepteur* rec) {
            t.probleme = p;
            t.resultat = egypte::chercher(p, d, rec, m);
            return t.resultat;
        });
        t.sortie = c.sortie();
        t.reste = c.reste();
    }
    return t;
}

void comparer(const std::string& tape, const Reglages& a, const Reglages& b)
{
    SCOPED_TRACE("typed: " + tape);
    const Trace ta = calculer(tape, a);
    const Trace tb = calculer(tape, b);
    EXPECT_EQ(ta.sortie, tb.sortie);
    EXPECT_EQ(ta.reste, tb.reste);
    EXPECT_EQ(ta.compte, tb.compte);
}

namespace {

// Answers to the paging question: a few page sizes, then one answer after
// which the question is not asked again (0, -1 or -K), so the input always
// lasts.
std::string pagination(std::mt19937& g)
{
    std::ostringstream s;
    const int pages = static_cast<int>(g() % 5);
    for (int k = 0; k < pages; k++) s << ' ' << 1 + g() % 6;
    static const int fins[] = {0, -1, -1, -2, -3, -5, -1000};
    s << ' ' << fins[g() % 7];
    return s.str();
}

}  // namespace

std::string seanceAuHasard(std::mt19937& g, long qMax, long mMax, const std::string& pages)
{
    for (;;) {
        std::ostringstream s;
        const long Q0 = 1 + g() % qMax;
        const long P0 = 1 + g() % (Q0 + 12);
        s << P0 << ' ' << Q0;
        const bool contraintes = g() % 5 != 0;
        long P = P0, Q = Q0;
        for (long d = 2; d <= Q; d++)
            while (P % d == 0 && Q % d == 0) {
                P /= d;
                Q /= d;
            }
        if (contraintes) {
            const int type = 1 + g() % 2;
            int parite = static_cast<int>(g() % 3);
            if (parite == 1 && Q % 2 == 0) parite = 0;  // that computation ends at once
            long minx = g() % 2 == 0 ? 0 : 1 + g() % 12;
            long M = g() % 6 == 0 ? 0 : 2 + g() % (g() % 2 ? 70 : mMax);
            if (minx && M && minx >= M) minx = 0;
            long minn = g() % 3 == 0 ? 0 : 1 + g() % 5;
            // A bound on n keeps the plain walk short; without one, a small
            // maximum on xn bounds the lengths instead.
            long maxn = 2 + g() % 5;
            if (M && M <= 16 && g() % 4 == 0) maxn = 0;
            if (!M && Q > 12) M = 40 + g() % 100;
            if (minn && maxn && minn >= maxn) minn = 0;
            s << " 1 " << type << ' ' << parite << ' ' << minx << ' ' << M << ' ' << minn << ' ' << maxn;
        } else {
            if (Q0 > 16 || P > Q) continue;  // without bounds the minimal length stays small
            s << " 0";
            if (P >= Q) s << ' ' << g() % 2;
        }
        if (pages.empty()) s << pagination(g);
        else s << pages;
        return s.str();
    }
}

}  // namespace essai
