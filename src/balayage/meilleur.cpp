// The best expansion, on the public search alone: the minimal length and a
// first expansion, then searches of that length under a maximum for xn
// brought down to the best value, and the listing under it that both proves
// that no expansion has a smaller xn and breaks the ties.
#include "egypte/meilleur.h"

#include <stdexcept>

namespace egypte {

namespace {

// The rule of the best between the expansion being handed over and one kept.
bool avant(const Developpement& a, const std::vector<NTL::ZZ>& b)
{
    for (int k = a.taille() - 1; k >= 0; k--) {
        const auto& v = b[static_cast<std::size_t>(k)];
        if (a[k] != v) return a[k] < v;
    }
    return false;
}

// What a search under a maximum for xn keeps. A probe stops at its first
// expansion; a listing under `plafond` keeps the best of those whose xn is
// `plafond` and stops at the first one below it, since a search under that
// smaller bound walks far less than the rest of this one.
class Cueillette : public Recepteur {
public:
    bool sonde = true;
    NTL::ZZ plafond;
    // x1 at least this, when the search itself could not be told (0: none).
    NTL::ZZ minimum;
    // xn at most this (0: none). The search is told as much and respects
    // it; the bound is checked again here so that no expansion past it can
    // ever be kept, whatever the walk's bounds become.
    NTL::ZZ borne;
    std::vector<NTL::ZZ> garde;  // empty: nothing kept
    bool plusPetit = false;      // the listing stopped at an xn below `plafond`

    void preparer(bool s, const NTL::ZZ& p, const NTL::ZZ& m, const NTL::ZZ& b)
    {
        sonde = s;
        borne = b;
        plafond = p;
        minimum = m;
        garde.clear();
        plusPetit = false;
    }

    Suite recevoir(const Developpement& x, std::int64_t) override
    {
        Suite suite;
        if (!IsZero(minimum) && x[0] < minimum) return suite;
        if (!IsZero(borne) && x[x.taille() - 1] > borne) return suite;
        if (sonde || x[x.taille() - 1] < plafond) {
            garde = x.valeurs();
            plusPetit = !sonde;
            suite.arreter = true;
        } else if (garde.empty() || avant(x, garde)) {
            garde = x.valeurs();
        }
        return suite;
    }
};

// The searches of the length n once it is known, their count and how the
// last one ended.
class Descente {
public:
    Descente(const Probleme& q, const Demande& e, ResultatMeilleur& r) : q_(q), e_(e), r_(r) {}

    enum class Issue { trouvee, aucune, finie };

    // The expansions of length n with xn <= m: a probe keeps the first one,
    // a listing what Cueillette says.
    Issue chercherSous(const NTL::ZZ& m, bool sonde, const NTL::ZZ& plafond = NTL::ZZ())
    {
        // A beginning beyond the bound (the problem's checks refuse it) leaves nothing.
        if (!q_.debut.empty() && m < q_.debut.back()) return Issue::aucune;
        Probleme s = q_;
        s.maximumXn = m;
        NTL::ZZ filtre;
        // Repeated unknowns may all equal the minimum for x1, which the
        // problem's checks refuse as a maximum for xn: then the search runs
        // without the minimum, and the expansions below it are passed over.
        if (!IsZero(s.minimumX1) && m <= s.minimumX1) {
            filtre = s.minimumX1;
            s.minimumX1 = 0;
        }
        cueillette.preparer(sonde, plafond, filtre, m);
        const Resultat r = chercher(s, e_, &cueillette);
        r_.recherches++;
        if (r.fin == Fin::interrompue || r.fin == Fin::limite || r.fin == Fin::ecriture) {
            r_.fin = r.fin;
            return Issue::finie;
        }
        return cueillette.garde.empty() ? Issue::aucune : Issue::trouvee;
    }

    Cueillette cueillette;

private:
    const Probleme& q_;
    const Demande& e_;
    ResultatMeilleur& r_;
};

}  // namespace

const char* nomApproche(Approche a)
{
    switch (a) {
    case Approche::resserrer: return "resserrer";
    case Approche::dichotomie: return "dichotomie";
    case Approche::montee: return "montee";
    }
    return "?";
}

bool meilleurQue(const std::vector<NTL::ZZ>& a, const std::vector<NTL::ZZ>& b)
{
    if (a.size() != b.size()) throw std::invalid_argument("meilleurQue : longueurs differentes");
    return avant(Developpement(a.data(), static_cast<int>(a.size())), b);
}

ResultatMeilleur meilleur(const Probleme& p, const Demande& d, Approche a)
{
    if (!d.journal.empty())
        throw Erreur(Erreur::Genre::probleme, "le meilleur developpement se cherche sans journal");
    Demande e;
    e.montrer = Montrer::tout;
    e.fils = d.fils;
    e.arret = d.arret;
    ResultatMeilleur r;

    // The minimal length, and the first expansion of it in the walk's order.
    // A length whose only expansions pass the maximum for xn (see borne)
    // is not the minimal one: the search goes on from the next.
    Cueillette premiere;
    Probleme essai = p;
    Resultat r0;
    for (;;) {
        premiere.preparer(true, NTL::ZZ(), NTL::ZZ(), p.maximumXn);
        r0 = chercher(essai, e, &premiere);
        r.recherches++;
        if (!premiere.garde.empty() || r0.fin != Fin::complete || r0.longueur == 0 || !(essai.longueur == 0)) break;
        essai.longueurMin = r0.longueur + 1;
        if (!(essai.longueurMax == 0) && essai.longueurMin >= essai.longueurMax) {
            if (essai.longueurMin > essai.longueurMax) break;
            essai.longueur = essai.longueurMax;
            essai.longueurMin = 0;
            essai.longueurMax = 0;
        }
    }
    r.P = r0.P;
    r.Q = r0.Q;
    r.x = premiere.garde;
    r.longueur = static_cast<int>(r.x.size());
    if (r0.fin == Fin::interrompue || r0.fin == Fin::limite || r0.fin == Fin::ecriture) {
        r.fin = r0.fin;
        return r;
    }
    // None under the constraints, or the length's single expansion.
    if (r.x.empty() || r0.seule) {
        r.prouve = true;
        return r;
    }

    const long n = r.longueur;
    Probleme q = p;
    q.longueur = n;
    q.longueurMin = 0;
    q.longueurMax = 0;
    // xn is the best value, somewhere in [bas, haut]: n/xn <= P/Q, x1 <= xn,
    // the beginning before xn.
    NTL::ZZ haut = r.x.back();
    NTL::ZZ bas = (n * r.Q + r.P - 1) / r.P;
    if (bas < p.minimumX1) bas = p.minimumX1;
    if (!p.debut.empty() && bas < p.debut.back()) bas = p.debut.back();

    Descente descente(q, e, r);
    Cueillette& c = descente.cueillette;
    using Issue = Descente::Issue;
    // A probe under m: the expansion it finds brings the top down.
    auto sonder = [&](const NTL::ZZ& m) {
        const Issue i = descente.chercherSous(m, true);
        if (i == Issue::trouvee) {
            r.x = c.garde;
            haut = r.x.back();
        } else if (i == Issue::aucune) {
            bas = m + 1;
        }
        return i != Issue::finie;
    };
    auto milieu = [&] { return bas + (haut - 1 - bas) / 2; };

    if (a == Approche::montee) {
        NTL::ZZ m = bas;
        while (bas < haut) {
            if (m >= haut) m = haut - 1;
            if (!sonder(m)) return r;
            if (bas > m) m = 2 * m;
            else break;
        }
    }
    if (a == Approche::dichotomie || a == Approche::montee)
        while (bas < haut)
            if (!sonder(milieu())) return r;

    // The listing under the best xn found, again under a smaller one met.
    for (;;) {
        const Issue i = descente.chercherSous(haut, false, haut);
        if (i == Issue::finie) return r;
        if (i == Issue::aucune) throw std::logic_error("meilleur : aucun developpement sous un xn deja atteint");
        r.x = c.garde;
        if (!c.plusPetit) break;
        haut = r.x.back();
    }
    r.prouve = true;
    return r;
}

}  // namespace egypte
