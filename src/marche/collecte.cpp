// The nodes and the collections of expansions of the parts of a walk.
#include "marche/collecte.h"

#include "marche/recherche.h"

namespace egypte {

void Noeud::prendre(const Recherche& s)
{
    i = s.marche.i;
    x.resize(static_cast<std::size_t>(i) + 1);
    minr.resize(static_cast<std::size_t>(i) + 1);
    for (int a = 0; a <= i; a++) {
        x[a] = s.marche.x[a];
        minr[a] = s.marche.minr[a];
    }
    N = s.marche.N;
    D = s.marche.D;
}

void Noeud::poser(Recherche& s) const
{
    for (int a = 0; a <= i; a++) {
        s.marche.x[a] = x[a];
        s.marche.minr[a] = minr[a];
    }
    for (int a = i + 1; a < s.marche.x.length(); a++) {
        clear(s.marche.x[a]);
        clear(s.marche.minr[a]);
    }
    s.marche.N = N;
    s.marche.D = D;
    s.marche.i = i;
}

void Collecte::vider(int n, bool stocker, bool derniere)
{
    n_ = n;
    stocker_ = stocker;
    derniere_ = derniere;
    bilan.vider();
    mots_.clear();
    grands_.clear();
    entrees_.clear();
    nombre_ = 0;
    arretA = 0;
    travail_ = 0;
    plafondTravail_ = 0;
}

void Collecte::ajouter(Recherche& s)
{
    bilan.ajouter(s.marche.x[1], s.marche.x[n_]);
    prendre(s);
}

bool Collecte::ajouterBloc(Recherche& s, std::size_t nombre, const NTL::ZZ& plusPetitXn)
{
    if (stocker_ || (arretA != 0 && taille() + nombre >= arretA)) return false;
    bilan.ajouterBloc(static_cast<std::int64_t>(nombre), s.marche.x[1], plusPetitXn, s.marche.x[n_]);
    prendre(s);
    return true;
}

// After expansions were counted in bilan: the stop of a replay at its
// number, and the last of them, in s.marche.x, kept when expansions are kept.
void Collecte::prendre(Recherche& s)
{
    if (arretA != 0 && taille() == arretA) s.arretDemande = true;
    if (stocker_ || derniere_) garder(s.marche.x);
}

// x[1..n] kept after the others, or in place of the one kept when only the
// last is.
void Collecte::garder(const NTL::Vec<NTL::ZZ>& x)
{
    if (!stocker_) {
        // clear keeps the room.
        mots_.clear();
        grands_.clear();
        entrees_.clear();
    }
    bool mots = true;
    for (int a = 1; a <= n_ && mots; a++) mots = NumBits(x[a]) <= 64;
    if (mots) {
        entrees_.push_back(static_cast<std::int64_t>(mots_.size()));
        for (int a = 1; a <= n_; a++) mots_.push_back(static_cast<std::uint64_t>(to_ulong(x[a])));
    } else {
        entrees_.push_back(-static_cast<std::int64_t>(grands_.size()) - 1);
        for (int a = 1; a <= n_; a++) grands_.push_back(x[a]);
    }
}

void Collecte::ecrire(std::ostream& o) const
{
    o << n_ << ' ' << stocker_ << ' ' << bilan.nombre << ' ' << bilan.plusGrandXn << ' ' << bilan.plusPetitX1 << ' '
      << bilan.plusPetitXn;
    if (!stocker_) return;
    NTL::Vec<NTL::ZZ> x;
    x.SetLength(n_ + 1);
    for (std::size_t j = 0; j < taille(); j++) {
        lire(j, x);
        for (int a = 1; a <= n_; a++) o << ' ' << x[a];
    }
}

void Collecte::lire(std::istream& in)
{
    int n = 0;
    bool stocker = true;
    std::int64_t compte = 0;
    in >> n >> stocker >> compte;
    if (!in || compte < 0) {
        in.setstate(std::ios::failbit);
        return;
    }
    vider(n, stocker);
    in >> bilan.plusGrandXn >> bilan.plusPetitX1 >> bilan.plusPetitXn;
    bilan.nombre = compte;
    if (!stocker_) return;
    NTL::Vec<NTL::ZZ> x;
    x.SetLength(n + 1);
    for (std::int64_t j = 0; j < compte && in; j++) {
        for (int a = 1; a <= n; a++) in >> x[a];
        garder(x);
    }
}

void Collecte::lire(std::size_t j, NTL::Vec<NTL::ZZ>& x) const
{
    const std::int64_t e = entrees_[stocker_ ? j : 0];
    if (e >= 0) {
        for (int a = 0; a < n_; a++) conv(x[a + 1], static_cast<unsigned long>(mots_[static_cast<std::size_t>(e) + a]));
    } else {
        const std::size_t debut = static_cast<std::size_t>(-e - 1);
        for (int a = 0; a < n_; a++) x[a + 1] = grands_[debut + a];
    }
}

}  // namespace egypte
