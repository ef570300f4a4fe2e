#include "interface/debut.h"

#include <sstream>

namespace egypte {

namespace {

[[noreturn]] void refuser(const Probleme& p, std::vector<Erreur::Morceau> pourquoi)
{
    pourquoi.insert(pourquoi.begin(), Erreur::Morceau("le debut " + texteDebut(p.debut) + " "));
    throw Erreur(Erreur::Genre::probleme, std::move(pourquoi));
}

// 1/x1 + ... + 1/xk = N/D.
void somme(const std::vector<NTL::ZZ>& debut, NTL::ZZ& N, NTL::ZZ& D)
{
    N = 0;
    D = 1;
    for (const NTL::ZZ& x : debut) {
        N = N * x + D;
        D *= x;
    }
}

}  // namespace

std::string texteDebut(const std::vector<NTL::ZZ>& debut)
{
    std::string s;
    for (const NTL::ZZ& x : debut) {
        if (!s.empty()) s += ',';
        std::ostringstream o;
        o << x;
        s += o.str();
    }
    return s;
}

void verifierDebut(const Probleme& p)
{
    const std::vector<NTL::ZZ>& d = p.debut;
    if (d.empty()) return;
    const long k = static_cast<long>(d.size());
    for (std::size_t i = 0; i < d.size(); i++) {
        if (d[i] < 1) refuser(p, {"a un denominateur nul"});
        if (i > 0 && d[i] < d[i - 1]) refuser(p, {"n'est pas croissant (x1 <= x2 <= ... <= xn)"});
        if (i > 0 && d[i] == d[i - 1] && p.inconnues == Inconnues::distinctes)
            refuser(p, {"repete un denominateur (les inconnues sont toutes differentes ; ", Terme::inconnues, ")"});
        if (p.parite != Parite::indifferente && IsOdd(d[i]) != (p.parite == Parite::impaires))
            refuser(p, {std::string("a un denominateur ") + (p.parite == Parite::impaires ? "pair (parite impaire)" : "impair (parite paire)")});
        if (!IsZero(p.maximumXn) && d[i] > p.maximumXn) refuser(p, {"depasse ", Terme::maximumXn});
    }
    if (!IsZero(p.minimumX1) && d[0] < p.minimumX1) refuser(p, {"commence sous ", Terme::minimumX1});
    if (p.sansUn && d[0] == 1 && p.numerateur >= p.denominateur) refuser(p, {"commence par 1, que ", Terme::sansUn, " exclut"});
    if (p.longueur != 0 && p.longueur <= k) refuser(p, {"n'est pas plus court que ", Terme::longueur});
    if (p.longueurMax != 0 && p.longueurMax <= k) refuser(p, {"n'est pas plus court que ", Terme::longueurMax});
    // 1/x1 + ... + 1/xk < p/q, in integers.
    NTL::ZZ N, D;
    somme(d, N, D);
    if (N * p.denominateur >= p.numerateur * D) refuser(p, {"atteint deja P/Q : aucun developpement plus long ne commence ainsi"});
}

Probleme reste(const Probleme& p)
{
    verifier(p);
    if (p.debut.empty()) return p;
    Probleme r = p;
    r.debut.clear();
    const long k = static_cast<long>(p.debut.size());
    NTL::ZZ N, D;
    somme(p.debut, N, D);
    // p/q - N/D, positive (checked); the engine reduces it.
    r.numerateur = p.numerateur * D - N * p.denominateur;
    r.denominateur = p.denominateur * D;
    // From xk on: xk+1 >= xk, or > xk when the unknowns all differ.
    r.minimumX1 = p.debut.back() + (p.inconnues == Inconnues::distinctes ? 1 : 0);
    r.sansUn = false;
    // A length past every one searched stays there.
    const auto moins = [k](long n) { return n > LONGUEUR_MAX ? n : n - k; };
    if (p.longueur != 0) r.longueur = moins(p.longueur);
    if (p.longueurMax != 0) r.longueurMax = moins(p.longueurMax);
    if (p.longueurMin != 0) r.longueurMin = p.longueurMin > k ? moins(p.longueurMin) : 0;
    return r;
}

Recepteur::Suite RecepteurDebut::recevoir(const Developpement& x, std::int64_t numero)
{
    const std::size_t k = debut_.size();
    x_.resize(k + static_cast<std::size_t>(x.taille()));
    for (int i = 0; i < x.taille(); i++) x_[k + static_cast<std::size_t>(i)] = x[i];
    return r_.recevoir(Developpement(x_.data(), static_cast<int>(x_.size())), numero);
}

void completer(const Probleme& p, Resultat& r)
{
    if (p.debut.empty()) return;
    NTL::ZZ g;
    GCD(g, p.numerateur, p.denominateur);
    r.P = p.numerateur / g;
    r.Q = p.denominateur / g;
    r.sansUn = p.sansUn && r.P >= r.Q;
    if (r.longueur > 0) r.longueur += static_cast<int>(p.debut.size());
    if (r.solutions > 0) r.plusPetitX1 = p.debut.front();
    if (!r.derniere.empty()) r.derniere.insert(r.derniere.begin(), p.debut.begin(), p.debut.end());
}

}  // namespace egypte
