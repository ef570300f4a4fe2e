#include "api/debut.h"

#include <sstream>

namespace egypte {

namespace {

[[noreturn]] void refuser(const Probleme& p, const std::string& pourquoi)
{
    throw Erreur(Erreur::Genre::probleme, "le debut " + texteDebut(p.debut) + " " + pourquoi);
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
        if (d[i] < 1) refuser(p, "a un denominateur nul");
        if (i > 0 && d[i] < d[i - 1]) refuser(p, "n'est pas croissant (x1 <= x2 <= ... <= xn)");
        if (i > 0 && d[i] == d[i - 1] && p.inconnues == Inconnues::distinctes)
            refuser(p, "repete un denominateur (les inconnues sont toutes differentes ; --repetitions)");
        if (p.parite != Parite::indifferente && IsOdd(d[i]) != (p.parite == Parite::impaires))
            refuser(p, std::string("a un denominateur ") + (p.parite == Parite::impaires ? "pair (parite impaire)" : "impair (parite paire)"));
        if (!IsZero(p.M) && d[i] > p.M) refuser(p, "depasse --max-xn");
    }
    if (!IsZero(p.minx) && d[0] < p.minx) refuser(p, "commence sous --min-x1");
    if (p.sansUn && d[0] == 1 && p.P1 >= p.Q1) refuser(p, "commence par 1, que --sans-un exclut");
    if (!IsZero(p.longueur) && p.longueur <= k) refuser(p, "n'est pas plus court que --longueur");
    if (!IsZero(p.maxn) && p.maxn <= k) refuser(p, "n'est pas plus court que --max-n");
    // 1/x1 + ... + 1/xk < P1/Q1, in integers.
    NTL::ZZ N, D;
    somme(d, N, D);
    if (N * p.Q1 >= p.P1 * D) refuser(p, "atteint deja P/Q : aucun developpement plus long ne commence ainsi");
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
    // P1/Q1 - N/D, positive (checked); the engine reduces it.
    r.P1 = p.P1 * D - N * p.Q1;
    r.Q1 = p.Q1 * D;
    // From xk on: xk+1 >= xk, or > xk when the unknowns all differ.
    r.minx = p.debut.back() + (p.inconnues == Inconnues::distinctes ? 1 : 0);
    r.sansUn = false;
    if (!IsZero(p.longueur)) r.longueur = p.longueur - k;
    if (!IsZero(p.maxn)) r.maxn = p.maxn - k;
    if (!IsZero(p.minn)) r.minn = p.minn > k ? p.minn - k : NTL::ZZ(0);
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
    GCD(g, p.P1, p.Q1);
    r.P = p.P1 / g;
    r.Q = p.Q1 / g;
    r.sansUn = p.sansUn && r.P >= r.Q;
    if (r.longueur > 0) r.longueur += static_cast<int>(p.debut.size());
    if (r.solutions > 0) r.plusPetitX1 = p.debut.front();
    if (!r.derniere.empty()) r.derniere.insert(r.derniere.begin(), p.debut.begin(), p.debut.end());
}

}  // namespace egypte
