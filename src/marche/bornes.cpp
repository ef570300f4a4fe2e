// Bounds of the next unknown. With x[1..k] placed and R = P/Q - Nk/Dk left,
// the next unknown lies between minr[k+1] (about 1/R) and the returned value
// (about (n-k)/R for Type 1, a sliding window over n-k values in arithmetic
// progression for Type 2). Everything is exact and nothing is reduced; the
// working values live in the search state so that a call allocates nothing
// once they have grown to the sizes of the walk.
#include "commun/avancement.h"
#include "marche/recherche.h"

namespace egypte {

// N1k/D1k <- sum of the reciprocals of rm, rm + z, ..., rm + (n-k-1)z.
void Recherche::fenetre(int k)
{
    marche.N1k = 1;
    marche.D1k = marche.rm;
    for (int j = k + 2; j <= marche.n; j++) {
        // For lengths in the thousands each term is a product of thousands
        // of digits: the status line and the step budget count the terms.
        progres::tic();
        add(marche.t, marche.rm, static_cast<long>(cadre.z) * (j - k - 1));
        mul(marche.u, marche.N1k, marche.t);
        add(marche.N1k, marche.u, marche.D1k);
        mul(marche.u, marche.D1k, marche.t);
        swap(marche.D1k, marche.u);
    }
}

// d1 <- N1k*qd - D1k*divis
void Recherche::signeFenetre()
{
    mul(marche.d1, marche.N1k, marche.qd);
    mul(marche.w, marche.D1k, marche.divis);
    sub(marche.d1, marche.d1, marche.w);
}

// The window cannot end before ceil((n-k)/R) - (n-k-1)z: below that every one
// of its n-k values is under (n-k)/R, so its sum is above R. The fast search
// starts the slide there (rm moved up along its progression) instead of
// sliding one step at a time from the smallest start; the result is the same.
void Recherche::sauter(int k)
{
    add(marche.t, marche.divid, marche.divis);
    sub(marche.t, marche.t, 1);
    div(marche.t, marche.t, marche.divis);
    sub(marche.t, marche.t, static_cast<long>(cadre.z) * (marche.n - k - 1));
    if (marche.t <= marche.rm) return;
    sub(marche.t, marche.t, marche.rm);
    add(marche.t, marche.t, cadre.z - 1);
    div(marche.t, marche.t, cadre.z);
    mul(marche.t, marche.t, cadre.z);
    add(marche.rm, marche.rm, marche.t);
}

// reste <- divid - r1*divis
void Recherche::resteEgaux()
{
    mul(marche.reste, marche.r1, marche.divis);
    sub(marche.reste, marche.divid, marche.reste);
}

// The window of n-k values from r1 and its remainder: reste <- N1k*qd - D1k*divis.
void Recherche::resteFenetre(int k)
{
    marche.rm = marche.r1;
    fenetre(k);
    mul(marche.reste, marche.N1k, marche.qd);
    mul(marche.w, marche.D1k, marche.divis);
    sub(marche.reste, marche.reste, marche.w);
}

// The maximum for xn brought onto r1, the upper bound of x[k+1], and the
// remainder of the bound so lowered.
void Recherche::plafonner(int k, const ZZ& mr)
{
    if (IsZero(cadre.M)) return;
    // With distinct unknowns the n-k values from x[k+1] on all lie
    // at most M, each at least z above the one before, so x[k+1] is at most
    // M - (n-k-1)z; capped at M itself, a run of consecutive values ending
    // past M could close the expansion.
    if (cadre.type == 2) sub(marche.t, cadre.M, static_cast<long>(cadre.z) * (marche.n - k - 1));
    if (marche.r1 > (cadre.type == 2 ? marche.t : cadre.M)) {
        marche.r1 = cadre.type == 2 ? marche.t : cadre.M;
        if (cadre.type == 1) {
            resteEgaux();
        } else if (marche.r1 < mr || sign(marche.r1) <= 0) {
            marche.reste = 1;  // no value left: nothing closes here
        } else {
            resteFenetre(k);
        }
    }
}

const ZZ& Recherche::maxi(int k, const ZZ& Dk, const ZZ& Nk)
{
    // Products.
    marche.y = 1;
    mul(marche.pd, cadre.P, Dk);
    mul(marche.qn, cadre.Q, Nk);
    mul(marche.qd, cadre.Q, Dk);
    mul(marche.divid, marche.qd, marche.n - k);
    sub(marche.divis, marche.pd, marche.qn);

    // The placed unknowns already reach P/Q: the walk is over.
    if (marche.pd <= marche.qn) {
        marche.i = -1;
        return marche.y;
    }

    // Lower bound: floor(1/R), raised to the right parity; strictly above
    // 1/R unless this is the last unknown, which may close the expansion.
    ZZ& mr = marche.minr[k + 1];
    div(mr, marche.qd, marche.divis);
    const bool dernier = (k + 1 == marche.n);
    if (cadre.parite == 0) {
        if (!dernier) add(mr, mr, 1);
    } else {
        const bool bonne = (cadre.parite == 1) == IsOdd(mr);
        if (!bonne) add(mr, mr, 1);
        else if (!dernier) add(mr, mr, 2);
    }

    if (cadre.type == 1 || marche.i == marche.n - 1) {
        // floor((n-k)/R) and its remainder.
        DivRem(marche.r1, marche.reste, marche.divid, marche.divis);
    } else {
        // Slide a window of n-k values from the first admissible start
        // until its reciprocal sum no longer exceeds R.
        add(marche.rm, marche.x[marche.i], cadre.z);
        if (marche.rm < mr) marche.rm = mr;
        if (!cadre.simple) sauter(k);
        fenetre(k);
        signeFenetre();
        while (sign(marche.d1) > 0) {
            // With numbers of dozens of digits the window may slide for longer
            // than anyone waits, inside one step: Ctrl-C (or the step budget)
            // ends the walk from here.
            progres::tic();
            if (arrete()) {
                marche.i = -1;
                return marche.y;
            }
            diviserExact(marche.D0, marche.D1k, marche.rm);
            add(marche.t, marche.rm, static_cast<long>(cadre.z) * (marche.n - k));
            sub(marche.u, marche.N1k, marche.D0);
            mul(marche.N1k, marche.u, marche.t);
            diviserExact(marche.u, marche.N1k, marche.rm);
            add(marche.N1k, marche.u, marche.D0);
            mul(marche.D1k, marche.D0, marche.t);
            add(marche.rm, marche.rm, cadre.z);
            signeFenetre();
        }
        swap(marche.r1, marche.rm);  // r1 <- rm; rm is not read again before being set
        if (IsZero(marche.d1)) marche.reste = 0;
        else marche.reste = 1;
    }

    plafonner(k, mr);

    // Parity of the upper bound.
    if ((cadre.parite == 1 && !IsOdd(marche.r1)) || (cadre.parite == 2 && IsOdd(marche.r1))) {
        sub(marche.r1, marche.r1, 1);
        if (cadre.type == 1) {
            resteEgaux();
        } else {
            resteFenetre(k);
        }
    }

    // Minimum.
    if (mr < cadre.minx) mr = cadre.minx;

    return marche.r1;
}

}  // namespace egypte
