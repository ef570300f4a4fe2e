// The search over increasing lengths: each length is ruled out by exact tests
// when it cannot work, settled directly when P/Q is the largest sum it can
// reach, or walked; the first length with an expansion is the minimal one.
#include "search/avancement.h"
#include "search/etat.h"
#include "search/recherche.h"

namespace egypte {

// Prepares the next length: the running sum, the counters and the vectors.
void Recherche::nouvelleLongueur()
{
    N = 0;
    D = 1;
    n++;
    add(nz, nz, 1);
    m = 0;
    // A Vec keeps the values of the entries it once had: the vectors are
    // emptied at the start of a computation, so the entries added here are
    // new zeros, and the old ones are cleared only when a walk wrote into
    // them (on a fraction that needs thousands of terms, most lengths are
    // ruled out without a walk).
    if (sale) {
        for (int a = 0; a < x.length(); a++) {
            clear(x[a]);
            clear(minr[a]);
        }
        sale = 0;
    }
    x.SetLength(n + 1);
    minr.SetLength(n + 1);
    i = 0;
}

// Pm0/Qm0 <- the sum of 1/(m0 + j*T0), j = 0 .. n-1. The sum of the previous
// length is extended by one term when it is at hand: on a fraction that needs
// thousands of terms, rebuilding it at every length would take hours. It is
// only compared through cross products, so it need not be in lowest terms at
// every length: reducing it every 64 terms keeps it small without a gcd per
// length. Returns false, leaving the sum unfinished, when Ctrl-C came
// meanwhile: for a first length in the tens of thousands the product alone
// takes seconds.
bool Recherche::plusGrandeSomme()
{
    // Pm0/Qm0 <- Pm0/Qm0 + 1/(m0 + j*T0): one term, one search step.
    auto terme = [this](int j) {
        add(t, m0, static_cast<long>(j) * T0);
        mul(u, Pm0, t);
        add(Pm0, u, Qm0);
        mul(u, Qm0, t);
        swap(Qm0, u);
        progres::tic();
    };
    const bool prolonger = (nPm0 == n - 1 && n > 1);
    if (prolonger) {
        terme(n - 1);
    } else {
        Pm0 = 1;
        Qm0 = m0;
        for (int j = 1; j <= n - 1; j++) {
            if (arrete()) {
                nPm0 = 0;  // the sum is unfinished: never extend it
                return false;
            }
            terme(j);
        }
    }
    if (!prolonger || n % 64 == 0) {
        GCD(w, Pm0, Qm0);
        div(u, Pm0, w);
        swap(Pm0, u);
        div(u, Qm0, w);
        swap(Qm0, u);
    }
    nPm0 = n;
    return true;
}

// The single expansion m0, m0 + T0, ..., which reaches P/Q exactly, into
// x[1..n]; a front end with an output of its own is handed it there.
void Recherche::seuleSolution()
{
    for (int a = 1; a <= n; a++) add(x[a], m0, static_cast<long>(a - 1) * T0);
    seule = 1;
    prefixe++;
    if (sortie != nullptr) {
        affiche();
    } else {
        K1 = 1;
        m1 = m0;
        add(m, m0, static_cast<long>(n - 1) * T0);
    }
    i = -1;
}

Recherche::Longueur Recherche::longueurSuivante(Fin& pourquoi)
{
    nouvelleLongueur();
    if (nz > maxn && !IsZero(maxn)) {
        pourquoi = Fin::aucune;
        return Longueur::finie;
    }
    // Every unknown is at most M, so no length above floor(P*M/Q) can work.
    if (!IsZero(Ma) && nz > majn) {
        pourquoi = Fin::aucune;
        return Longueur::finie;
    }
    if (nz > NMAX) {
        pourquoi = Fin::tropLong;
        return Longueur::finie;
    }
    // A sum of n odd unit fractions is (a sum of n odd numbers)/(odd):
    // in lowest terms its numerator has the parity of n.
    if (parite == 1 && IsOdd(Q) && IsOdd(P) != (n % 2 == 1)) i = -1;
    m0 = minx;
    T0 = (type == 1) ? 0 : (parite == 0 ? 1 : 2);
    if (!plusGrandeSomme()) {
        pourquoi = Fin::interrompu;
        return Longueur::finie;
    }
    mul(w, P, Qm0);
    mul(u, Q, Pm0);
    const long ecart = compare(w, u);  // sign of P/Q - Pm0/Qm0
    if (ecart > 0) i = -1;
    add(t, m0, static_cast<long>(n - 1) * T0);
    if (!IsZero(Ma) && t > M) {
        // Even the smallest admissible expansion passes the maximum.
        i = -1;
        return Longueur::auDela;
    }
    if (i >= 0 && ecart == 0) return Longueur::seule;
    return Longueur::aParcourir;
}

void Recherche::avantLongueurs()
{
    nPm0 = 0;
    x.kill();
    minr.kill();
    sale = 0;
}

Recherche::Fin Recherche::chercher()
{
    avantLongueurs();
    while (K1 == 0) {
        if (arrete()) return Fin::interrompu;
        Fin pourquoi = Fin::aucune;
        const Longueur l = longueurSuivante(pourquoi);
        if (l == Longueur::finie) return pourquoi;
        if (l == Longueur::seule) {
            seuleSolution();
        } else if (l == Longueur::aParcourir) {
            // A length that an earlier run of the same computation walked
            // to the end without an expansion is not walked again.
            if (i >= 0 && sortie != nullptr && sortie->longueurVide(n)) i = -1;
            if (i >= 0) sale = 1;
            const Fin f = parcourirLongueur();
            if (f != Fin::trouve) return f;
            if (K1 == 0 && sortie != nullptr) sortie->longueurFaite(n);
        }
    }
    return Fin::trouve;
}

}  // namespace egypte
