// The set-up of a computation from a problem given whole: reduces the
// fraction and derives the effective bounds and the first length.
#include <algorithm>

#include "marche/recherche.h"
#include "marche/probleme.h"

namespace egypte {

// The effective bounds of the unknowns, from minx and M as entered.
void Recherche::bornesX()
{
    cadre.minax = cadre.minx;
    if (IsZero(cadre.minx)) cadre.minx = 1;
    if (!IsOdd(cadre.minx) && cadre.parite == 1) add(cadre.minx, cadre.minx, 1);
    if (IsOdd(cadre.minx) && cadre.parite == 2) add(cadre.minx, cadre.minx, 1);
    cadre.Ma = cadre.M;
    if (cadre.parite == 1 && !IsOdd(cadre.M) && !IsZero(cadre.M)) sub(cadre.M, cadre.M, 1);
    if (cadre.parite == 2 && IsOdd(cadre.M)) sub(cadre.M, cadre.M, 1);
}

// The lengths that the bounds allow, from minn and maxn as entered, and the
// length before the first one to try. 0: fine; 1: no length is left; 2: the
// first one is beyond NMAX.
int Recherche::bornesN()
{
    // Every unknown lies between minx and M, so n/M <= P/Q <= n/minx.
    cadre.majn = cadre.P * cadre.M / cadre.Q;
    cadre.min1n = cadre.P * cadre.minx / cadre.Q;
    if (cadre.Q * cadre.min1n != cadre.P * cadre.minx) add(cadre.min1n, cadre.min1n, 1);
    marche.nz = cadre.minn;
    if (cadre.minn < cadre.min1n) marche.nz = cadre.min1n;
    cadre.maxn2 = cadre.maxn;
    if (cadre.maxn > cadre.majn && !IsZero(cadre.majn)) cadre.maxn = cadre.majn;
    if (marche.nz > cadre.maxn && !IsZero(cadre.maxn)) return 1;
    if (marche.nz > NMAX) return 2;
    sub(marche.nz, marche.nz, 1);
    marche.n = static_cast<int>(to_long(marche.nz));
    return 0;
}

Longueurs longueursPermises(const Probleme& p)
{
    // The lengths were read as longueurLue reads them: one beyond
    // LONGUEUR_MAX is LONGUEUR_MAX + 1 already; a caller may still set more.
    const auto machine = [](long v) { return std::min(v, LONGUEUR_MAX + 1); };
    Longueurs l;
    if (p.longueur != 0) {
        l.premiere = l.derniere = machine(p.longueur);
        return l;
    }
    if (p.longueurMin != 0) l.premiere = machine(p.longueurMin);
    if (p.longueurMax != 0) l.derniere = machine(p.longueurMax);
    return l;
}

bool impairesPossibles(const ZZ& p, const ZZ& q)
{
    // A sum of odd unit fractions has an odd denominator in lowest terms.
    ZZ g, r;
    GCD(g, p, q);
    div(r, q, g);
    return IsOdd(r);
}

bool Recherche::poser(const Probleme& pb, Issue& pourquoi)
{
    cadre.P1 = pb.numerateur;
    cadre.Q1 = pb.denominateur;
    GCD(cadre.pg, cadre.P1, cadre.Q1);
    div(cadre.P, cadre.P1, cadre.pg);
    div(cadre.Q, cadre.Q1, cadre.pg);
    cadre.type = static_cast<int>(pb.inconnues);
    cadre.parite = static_cast<int>(pb.parite);
    pourquoi = Issue::aucune;
    // impairesPossibles, on the fraction already reduced.
    if (cadre.parite == 1 && !IsOdd(cadre.Q)) return false;
    if (cadre.parite != 0) cadre.z = 2;
    cadre.minx = pb.minimumX1;
    cadre.M = pb.maximumXn;
    bornesX();
    if (pb.sansUn && cadre.P >= cadre.Q) {
        // The exclusion of 1 raises the minimum to 2 (3 for odd unknowns).
        cadre.pas1 = 1;
        if (cadre.minx < 2) cadre.minx = cadre.parite == 1 ? 3 : 2;
    }
    const Longueurs l = longueursPermises(pb);
    cadre.minn = l.premiere;
    if (pb.longueurMin == 0 && pb.longueur == 0) clear(cadre.minn);  // none entered
    cadre.maxn = l.derniere > NMAX ? 0 : l.derniere;
    const int r = bornesN();
    if (r == 2) pourquoi = Issue::tropLong;
    arretDemande = false;
    return r == 0;
}

}  // namespace egypte
