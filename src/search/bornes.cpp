// Bounds of the next unknown. With x[1..k] placed and R = P/Q - Nk/Dk left,
// the next unknown lies between minr[k+1] (about 1/R) and the returned value
// (about (n-k)/R for Type 1, a sliding window over n-k values in arithmetic
// progression for Type 2). Everything is exact and nothing is reduced; the
// working values live in the search state so that a call allocates nothing
// once they have grown to the sizes of the walk.
#include "search/avancement.h"
#include "search/recherche.h"

namespace egypte {

// N1k/D1k <- sum of the reciprocals of rm, rm + z, ..., rm + (n-k-1)z.
void Recherche::fenetre(int k)
{
    N1k = 1;
    D1k = rm;
    for (int j = k + 2; j <= n; j++) {
        // For lengths in the thousands each term is a product of thousands
        // of digits: the status line and the step budget count the terms.
        progres::tic();
        add(t, rm, static_cast<long>(z) * (j - k - 1));
        mul(u, N1k, t);
        add(N1k, u, D1k);
        mul(u, D1k, t);
        swap(D1k, u);
    }
}

// d1 <- N1k*qd - D1k*divis
void Recherche::signeFenetre()
{
    mul(d1, N1k, qd);
    mul(w, D1k, divis);
    sub(d1, d1, w);
}

// The window cannot end before ceil((n-k)/R) - (n-k-1)z: below that every one
// of its n-k values is under (n-k)/R, so its sum is above R. The fast search
// starts the slide there (rm moved up along its progression) instead of
// sliding one step at a time from the smallest start; the result is the same.
void Recherche::sauter(int k)
{
    add(t, divid, divis);
    sub(t, t, 1);
    div(t, t, divis);
    sub(t, t, static_cast<long>(z) * (n - k - 1));
    if (t <= rm) return;
    sub(t, t, rm);
    add(t, t, z - 1);
    div(t, t, z);
    mul(t, t, z);
    add(rm, rm, t);
}

// reste <- divid - r1*divis
void Recherche::resteEgaux()
{
    mul(reste, r1, divis);
    sub(reste, divid, reste);
}

const ZZ& Recherche::maxi(int k, const ZZ& Dk, const ZZ& Nk)
{
    // Products.
    y = 1;
    mul(pd, P, Dk);
    mul(qn, Q, Nk);
    mul(qd, Q, Dk);
    mul(divid, qd, n - k);
    sub(divis, pd, qn);

    // The placed unknowns already reach P/Q: the walk is over.
    if (pd <= qn) {
        i = -1;
        return y;
    }

    // Lower bound: floor(1/R), raised to the right parity; strictly above
    // 1/R unless this is the last unknown, which may close the expansion.
    ZZ& mr = minr[k + 1];
    div(mr, qd, divis);
    const bool dernier = (k + 1 == n);
    if (parite == 0) {
        if (!dernier) add(mr, mr, 1);
    } else {
        const bool bonne = (parite == 1) == IsOdd(mr);
        if (!bonne) add(mr, mr, 1);
        else if (!dernier) add(mr, mr, 2);
    }

    if (type == 1 || i == n - 1) {
        // floor((n-k)/R) and its remainder.
        DivRem(r1, reste, divid, divis);
    } else {
        // Slide a window of n-k values from the first admissible start
        // until its reciprocal sum no longer exceeds R.
        add(rm, x[i], z);
        if (rm < mr) rm = mr;
        if (!simple) sauter(k);
        fenetre(k);
        signeFenetre();
        while (sign(d1) > 0) {
            // With numbers of dozens of digits the window may slide for longer
            // than anyone waits, inside one step: Ctrl-C (or the step budget)
            // ends the walk from here.
            progres::tic();
            if (arrete()) {
                i = -1;
                return y;
            }
            diviserExact(D0, D1k, rm);
            add(t, rm, static_cast<long>(z) * (n - k));
            sub(u, N1k, D0);
            mul(N1k, u, t);
            diviserExact(u, N1k, rm);
            add(N1k, u, D0);
            mul(D1k, D0, t);
            add(rm, rm, z);
            signeFenetre();
        }
        swap(r1, rm);  // r1 <- rm; rm is not read again before being set
        if (IsZero(d1)) reste = 0;
        else reste = 1;
    }

    // Maximum.
    if (!IsZero(M) && r1 > M) {
        r1 = M;
        resteEgaux();
    }

    // Parity of the upper bound.
    if ((parite == 1 && !IsOdd(r1)) || (parite == 2 && IsOdd(r1))) {
        sub(r1, r1, 1);
        if (type == 1) {
            resteEgaux();
        } else {
            rm = r1;
            fenetre(k);
            mul(reste, N1k, qd);
            mul(w, D1k, divis);
            sub(reste, reste, w);
        }
    }

    // Minimum.
    if (mr < minx) mr = minx;

    return r1;
}

}  // namespace egypte
