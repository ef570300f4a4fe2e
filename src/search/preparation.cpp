// The set-up of a computation from a problem given whole: reduces the
// fraction and derives the effective bounds and the first length.
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
    const auto machine = [](const ZZ& v) { return v > LONGUEUR_MAX ? LONGUEUR_MAX + 1 : to_long(v); };
    Longueurs l;
    if (!IsZero(p.longueur)) {
        l.premiere = l.derniere = machine(p.longueur);
        return l;
    }
    if (!IsZero(p.minn)) l.premiere = machine(p.minn);
    if (!IsZero(p.maxn)) l.derniere = machine(p.maxn);
    return l;
}

bool impairesPossibles(const ZZ& P1, const ZZ& Q1)
{
    // A sum of odd unit fractions has an odd denominator in lowest terms.
    ZZ g, q;
    GCD(g, P1, Q1);
    div(q, Q1, g);
    return IsOdd(q);
}

bool Recherche::poser(const Probleme& pb, Fin& pourquoi)
{
    P1 = pb.P1;
    Q1 = pb.Q1;
    GCD(pg, P1, Q1);
    div(P, P1, pg);
    div(Q, Q1, pg);
    type = static_cast<int>(pb.inconnues);
    parite = static_cast<int>(pb.parite);
    pourquoi = Fin::aucune;
    // impairesPossibles, on the fraction already reduced.
    if (parite == 1 && !IsOdd(Q)) return false;
    if (parite != 0) z = 2;
    minx = pb.minx;
    M = pb.M;
    bornesX();
    if (pb.sansUn && P >= Q) {
        // The exclusion of 1 raises the minimum to 2 (3 for odd unknowns).
        pas1 = 1;
        if (minx < 2) minx = parite == 1 ? 3 : 2;
    }
    const Longueurs l = longueursPermises(pb);
    minn = l.premiere;
    if (IsZero(pb.minn) && IsZero(pb.longueur)) clear(minn);  // none entered
    maxn = l.derniere > NMAX ? 0 : l.derniere;
    const int r = bornesN();
    if (r == 2) pourquoi = Fin::tropLong;
    arretDemande = false;
    return r == 0;
}

}  // namespace egypte
