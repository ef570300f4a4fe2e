// The set-up of a computation from a problem given whole: reduces the
// fraction and derives the effective bounds and the first length.
#include <algorithm>

#include "search/etat.h"
#include "search/probleme.h"
#include "search/recherche.h"

namespace egypte {

// The effective bounds of the unknowns, from minx and M as entered.
void Recherche::bornesX()
{
    minax = minx;
    if (IsZero(minx)) minx = 1;
    if (!IsOdd(minx) && parite == 1) add(minx, minx, 1);
    if (IsOdd(minx) && parite == 2) add(minx, minx, 1);
    Ma = M;
    if (parite == 1 && !IsOdd(M) && !IsZero(M)) sub(M, M, 1);
    if (parite == 2 && IsOdd(M)) sub(M, M, 1);
}

// The lengths that the bounds allow, from minn and maxn as entered, and the
// length before the first one to try. 0: fine; 1: no length is left; 2: the
// first one is beyond NMAX.
int Recherche::bornesN()
{
    // Every unknown lies between minx and M, so n/M <= P/Q <= n/minx.
    majn = P * M / Q;
    min1n = P * minx / Q;
    if (Q * min1n != P * minx) add(min1n, min1n, 1);
    nz = minn;
    if (minn < min1n) nz = min1n;
    maxn2 = maxn;
    if (maxn > majn && !IsZero(majn)) maxn = majn;
    if (nz > maxn && !IsZero(maxn)) return 1;
    if (nz > NMAX) return 2;
    sub(nz, nz, 1);
    n = static_cast<int>(to_long(nz));
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

bool Recherche::poser(const Probleme& pb, Fin& pourquoi)
{
    P1 = pb.numerateur;
    Q1 = pb.denominateur;
    GCD(pg, P1, Q1);
    div(P, P1, pg);
    div(Q, Q1, pg);
    type = static_cast<int>(pb.inconnues);
    parite = static_cast<int>(pb.parite);
    pourquoi = Fin::aucune;
    // impairesPossibles, on the fraction already reduced.
    if (parite == 1 && !IsOdd(Q)) return false;
    if (parite != 0) z = 2;
    minx = pb.minimumX1;
    M = pb.maximumXn;
    bornesX();
    if (pb.sansUn && P >= Q) {
        // The exclusion of 1 raises the minimum to 2 (3 for odd unknowns).
        pas1 = 1;
        if (minx < 2) minx = parite == 1 ? 3 : 2;
    }
    const Longueurs l = longueursPermises(pb);
    minn = l.premiere;
    if (pb.longueurMin == 0 && pb.longueur == 0) clear(minn);  // none entered
    maxn = l.derniere > NMAX ? 0 : l.derniere;
    const int r = bornesN();
    if (r == 2) pourquoi = Fin::tropLong;
    arretDemande = false;
    return r == 0;
}

}  // namespace egypte
