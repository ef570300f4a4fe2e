#include "interface/livraison.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "marche/recherche.h"
#include "commun/journal.h"
#include "marche/collecte.h"

namespace egypte {

// Without a receiver nothing is handed over, but the first K still stop
// the search (the minimal length alone is one).
Livraison::Livraison(const Demande& d, Recepteur* r, Journal* journal, Ecrivain* ecrivain)
    : r_(r), ecrivain_(ecrivain), journal_(journal),
      compteSeul_(d.montrer == Montrer::compter || (r == nullptr && d.montrer != Montrer::premieres)),
      montrer_(Montrer::tout), k_(1)
{
    choisir(compteSeul_ ? Montrer::compter : d.montrer, d.K, 0);
}

// One in every K counts from the first expansion after the choice: that one,
// then every K-th.
void Livraison::choisir(Montrer m, const NTL::ZZ& K, std::int64_t depuis)
{
    montrer_ = m;
    k_ = NumBits(K) <= 62 ? to_long(K) : 0;
    depuis_ = depuis;
    prochaine_ = depuis + 1;
}

// Past expansions counted without being looked at (a journal resumed):
// the next one shown after them.
void Livraison::rattraper(std::int64_t K1)
{
    if (montrer_ != Montrer::uneSur || prochaine_ > K1) return;
    if (k_ == 0) {
        prochaine_ = INT64_MAX;
        return;
    }
    const std::int64_t vus = K1 - depuis_;  // at least 1 here
    prochaine_ = depuis_ + 1 + ((vus - 1) / k_ + 1) * k_;
}

bool Livraison::montree(std::int64_t numero)
{
    switch (montrer_) {
    case Montrer::tout:
        return true;
    case Montrer::premieres:
        return k_ == 0 || numero - depuis_ <= k_;
    case Montrer::uneSur:
        if (numero != prochaine_) return false;
        prochaine_ = k_ != 0 ? prochaine_ + k_ : INT64_MAX;
        return true;
    case Montrer::compter:
        return false;
    }
    return false;
}

void Livraison::echec(const std::string& message)
{
    if (erreur_.empty()) erreur_ = message;
    // Stops every thread and process of the walk as Ctrl-C does, so that no
    // unit past the failure counts as done (only this search, when it has a
    // stop of its own).
    arreterRecherche();
}

void Livraison::dire(Recherche& s)
{
    if (longueurDite_ == s.marche.n) return;
    longueurDite_ = s.marche.n;
    if (r_ != nullptr) r_->longueur(s.marche.n, s.seule == 1);
}

// The last expansion found, kept as cheaply as the walk allows: x[1..n-3]
// only when they may have changed since the last time, the last three as
// machine words when they are.
void Livraison::garder(const Recherche& s)
{
    const int queue = std::max(s.marche.n - 2, 1);
    if (!prefixeSur_ || prefixeGarde_ != s.marche.prefixe || derniere_.size() != static_cast<std::size_t>(s.marche.n)) {
        derniere_.resize(static_cast<std::size_t>(s.marche.n));
        for (int a = 1; a < queue; a++) derniere_[static_cast<std::size_t>(a - 1)] = s.marche.x[a];
        prefixeGarde_ = s.marche.prefixe;
        prefixeSur_ = true;
    }
    for (int a = queue; a <= s.marche.n; a++) {
        Fin3& f = fin3_[a - queue];
        f.mot = NumBits(s.marche.x[a]) <= 64;
        if (f.mot) f.valeur = NTL::to_ulong(s.marche.x[a]);
        else f.z = s.marche.x[a];
    }
}

std::vector<NTL::ZZ> Livraison::derniere() const
{
    if (montrer_ != Montrer::uneSur || derniere_.empty()) return {};
    std::vector<NTL::ZZ> d = derniere_;
    const int n = static_cast<int>(d.size()), queue = std::max(n - 2, 1);
    for (int a = queue; a <= n; a++) {
        const Fin3& f = fin3_[a - queue];
        if (f.mot) NTL::conv(d[static_cast<std::size_t>(a - 1)], f.valeur);
        else d[static_cast<std::size_t>(a - 1)] = f.z;
    }
    return d;
}

bool Livraison::remettre(Recherche& s)
{
    if (!erreur_.empty()) return false;
    if (r_ == nullptr) return true;
    const Recepteur::Suite suite = r_->recevoir(Developpement(&s.marche.x[1], s.marche.n), s.bilan.nombre);
    if (!suite.ecriture.reussie()) {
        echec(suite.ecriture.ligne());
        return false;
    }
    if (suite.arreter) s.arretDemande = true;
    if (suite.changer) choisir(suite.montrer, suite.K, s.bilan.nombre);
    return !suite.arreter && !suite.changer;
}

// After a failed write, what the walk still meets before it sees the stop
// (the rest of a step on one thread, of a unit's batch on several) is not
// counted: the count of a failed run is the expansions handed over up to the
// one whose writing failed, the same on any number of threads.
void Livraison::developpement(Recherche& s)
{
    if (!erreur_.empty()) return;
    dire(s);
    rattraper(s.bilan.nombre);
    s.compter();
    if (montree(s.bilan.nombre)) remettre(s);
    if (montrer_ == Montrer::uneSur) garder(s);
    // The first K are all there is to show: the search stops there.
    if (montrer_ == Montrer::premieres && k_ != 0 && s.bilan.nombre - depuis_ >= k_) s.arretDemande = true;
}

bool Livraison::developpements(Recherche& s, std::int64_t nombre, const NTL::ZZ& plusPetitXn)
{
    if (!erreur_.empty()) return true;
    if (montrer_ != Montrer::compter && (montrer_ != Montrer::uneSur || montre(s, static_cast<std::size_t>(nombre))))
        return false;
    dire(s);
    s.compter(nombre, plusPetitXn);
    if (montrer_ == Montrer::uneSur) garder(s);
    return true;
}

std::int64_t Livraison::uneSur() const
{
    if (montrer_ != Montrer::uneSur) return 0;
    return k_ != 0 ? k_ : INT64_MAX;
}

bool Livraison::montre(Recherche& s, std::size_t nombre)
{
    if (nombre == 0 || montrer_ == Montrer::compter) return false;
    if (montrer_ != Montrer::uneSur) return true;
    rattraper(s.bilan.nombre);
    return prochaine_ - s.bilan.nombre <= static_cast<std::int64_t>(nombre);
}

std::size_t Livraison::lot(Recherche& s, const Collecte& c, std::size_t debut)
{
    const std::size_t fin = c.taille();
    if (!erreur_.empty()) return fin;
    if (montrer_ != Montrer::compter && montrer_ != Montrer::uneSur) return debut;
    if (fin == debut) return fin;
    dire(s);
    rattraper(s.bilan.nombre);
    const std::int64_t avant = s.bilan.nombre;
    if (montrer_ == Montrer::uneSur) {
        const std::int64_t dernier = avant + static_cast<std::int64_t>(fin - debut);
        while (prochaine_ <= dernier) {
            const std::int64_t numero = prochaine_;
            const std::size_t j = debut + static_cast<std::size_t>(numero - avant - 1);
            montree(numero);
            s.bilan.nombre = numero;
            c.lire(j, s.marche.x);
            // A receiver that changes its choice (or stops, or fails) takes
            // the rest one by one: this batch ends with this expansion.
            if (!remettre(s)) return partie(s, c, debut, j + 1, avant);
        }
        c.lire(fin - 1, s.marche.x);
        prefixeSur_ = false;
        garder(s);
    }
    // The batch's extremes hold those of the part taken: the expansions
    // before `debut` were counted already, within them.
    s.bilan.nombre = avant;
    s.bilan.ajouterBloc(static_cast<std::int64_t>(fin - debut), c.bilan.plusPetitX1, c.bilan.plusPetitXn,
                        c.bilan.plusGrandXn);
    return fin;
}

std::size_t Livraison::partie(Recherche& s, const Collecte& c, std::size_t debut, std::size_t fin, std::int64_t avant)
{
    // The extremes of the part taken, which the batch's own do not give.
    s.bilan.nombre = avant;
    for (std::size_t j = debut; j < fin; j++) {
        c.lire(j, s.marche.x);
        s.compter();
    }
    prefixeSur_ = false;
    if (montrer_ == Montrer::uneSur) garder(s);
    return fin;
}

void Livraison::longueurFaite(int n)
{
    if (journal_ == nullptr || !erreur_.empty()) return;
    if (const Ecriture e = journal_->noterVide(n); !e.reussie()) echec(e.ligne());
}

bool Livraison::longueurVide(int n) { return journal_ != nullptr && journal_->longueurVide(n); }

int Livraison::profondeur(int n, int choisie)
{
    if (journal_ == nullptr) return choisie;
    const int k = journal_->profondeur(n);
    if (k > 0) return k;
    if (!erreur_.empty()) return choisie;
    if (const Ecriture e = journal_->noterProfondeur(n, choisie); !e.reussie()) echec(e.ligne());
    return choisie;
}

long Livraison::unitesFaites(Recherche& s, int n)
{
    if (journal_ == nullptr) return 0;
    const Journal::Unite& u = journal_->derniere(n);
    if (u.numero < 0) return 0;
    s.bilan = u.bilan;
    return u.numero + 1;
}

void Livraison::uniteFaite(Recherche& s, long numero)
{
    if (journal_ == nullptr || !erreur_.empty()) return;
    // The unit's expansions are written for good before the unit counts as done.
    Position p;
    if (ecrivain_ != nullptr) {
        const Ecriture ecrit = ecrivain_->ecrire(p);
        if (!ecrit.reussie()) return echec(ecrit.ligne());
    }
    Journal::Unite u;
    u.numero = numero;
    u.bilan = s.bilan;
    u.octets = p.octets;
    u.fin = p.fin;
    if (const Ecriture e = journal_->noterUnite(s.marche.n, u); !e.reussie()) echec(e.ligne());
}

}  // namespace egypte
