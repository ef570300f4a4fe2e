// The search over increasing lengths: each length is ruled out by exact tests
// when it cannot work, settled directly when P/Q is the largest sum it can
// reach, or walked; the first length with an expansion is the minimal one.
#include "commun/avancement.h"
#include "marche/recherche.h"

namespace egypte {

// Prepares the next length: the running sum, the counters and the vectors.
void Recherche::nouvelleLongueur()
{
    marche.N = 0;
    marche.D = 1;
    marche.n++;
    add(marche.nz, marche.nz, 1);
    // A Vec keeps the values of the entries it once had: the vectors are
    // emptied at the start of a computation, so the entries added here are
    // new zeros, and the old ones are cleared only when a walk wrote into
    // them (on a fraction that needs thousands of terms, most lengths are
    // ruled out without a walk).
    if (marche.sale) {
        for (int a = 0; a < marche.x.length(); a++) {
            clear(marche.x[a]);
            clear(marche.minr[a]);
        }
        marche.sale = 0;
    }
    marche.x.SetLength(marche.n + 1);
    marche.minr.SetLength(marche.n + 1);
    marche.i = 0;
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
        add(marche.t, marche.m0, static_cast<long>(j) * marche.T0);
        mul(marche.u, marche.Pm0, marche.t);
        add(marche.Pm0, marche.u, marche.Qm0);
        mul(marche.u, marche.Qm0, marche.t);
        swap(marche.Qm0, marche.u);
        progres::tic();
    };
    const bool prolonger = (marche.nPm0 == marche.n - 1 && marche.n > 1);
    if (prolonger) {
        terme(marche.n - 1);
    } else {
        marche.Pm0 = 1;
        marche.Qm0 = marche.m0;
        for (int j = 1; j <= marche.n - 1; j++) {
            if (arrete()) {
                marche.nPm0 = 0;  // the sum is unfinished: never extend it
                return false;
            }
            terme(j);
        }
    }
    if (!prolonger || marche.n % 64 == 0) {
        GCD(marche.w, marche.Pm0, marche.Qm0);
        div(marche.u, marche.Pm0, marche.w);
        swap(marche.Pm0, marche.u);
        div(marche.u, marche.Qm0, marche.w);
        swap(marche.Qm0, marche.u);
    }
    marche.nPm0 = marche.n;
    return true;
}

// The single expansion m0, m0 + T0, ..., which reaches P/Q exactly, into
// x[1..n]; a front end with an output of its own is handed it there.
void Recherche::seuleSolution()
{
    for (int a = 1; a <= marche.n; a++) add(marche.x[a], marche.m0, static_cast<long>(a - 1) * marche.T0);
    seule = 1;
    marche.prefixe++;
    if (sortie != nullptr) {
        livrer();
    } else {
        bilan.vider();
        compter();
    }
    marche.i = -1;
}

Recherche::Longueur Recherche::longueurSuivante(Issue& pourquoi)
{
    nouvelleLongueur();
    if (marche.nz > cadre.maxn && !IsZero(cadre.maxn)) {
        pourquoi = Issue::aucune;
        return Longueur::finie;
    }
    // Every unknown is at most M, so no length above floor(P*M/Q) can work.
    if (!IsZero(cadre.Ma) && marche.nz > cadre.majn) {
        pourquoi = Issue::aucune;
        return Longueur::finie;
    }
    if (marche.nz > NMAX) {
        pourquoi = Issue::tropLong;
        return Longueur::finie;
    }
    // A sum of n odd unit fractions is (a sum of n odd numbers)/(odd):
    // in lowest terms its numerator has the parity of n.
    if (cadre.parite == 1 && IsOdd(cadre.Q) && IsOdd(cadre.P) != (marche.n % 2 == 1)) marche.i = -1;
    marche.m0 = cadre.minx;
    marche.T0 = (cadre.type == 1) ? 0 : (cadre.parite == 0 ? 1 : 2);
    if (!plusGrandeSomme()) {
        pourquoi = Issue::interrompu;
        return Longueur::finie;
    }
    mul(marche.w, cadre.P, marche.Qm0);
    mul(marche.u, cadre.Q, marche.Pm0);
    const long ecart = compare(marche.w, marche.u);  // sign of P/Q - Pm0/Qm0
    if (ecart > 0) marche.i = -1;
    add(marche.t, marche.m0, static_cast<long>(marche.n - 1) * marche.T0);
    if (!IsZero(cadre.Ma) && marche.t > cadre.M) {
        // Even the smallest admissible expansion passes the maximum.
        marche.i = -1;
        return Longueur::auDela;
    }
    if (marche.i >= 0 && ecart == 0) return Longueur::seule;
    return Longueur::aParcourir;
}

void Recherche::avantLongueurs()
{
    marche.nPm0 = 0;
    marche.x.kill();
    marche.minr.kill();
    marche.sale = 0;
}

Recherche::Issue Recherche::chercher()
{
    avantLongueurs();
    while (bilan.nombre == 0) {
        if (arrete()) return Issue::interrompu;
        Issue pourquoi = Issue::aucune;
        const Longueur l = longueurSuivante(pourquoi);
        if (l == Longueur::finie) return pourquoi;
        if (l == Longueur::seule) {
            seuleSolution();
        } else if (l == Longueur::aParcourir) {
            // A length that an earlier run of the same computation walked
            // to the end without an expansion is not walked again.
            if (marche.i >= 0 && sortie != nullptr && sortie->longueurVide(marche.n)) marche.i = -1;
            if (marche.i >= 0) marche.sale = 1;
            const Issue f = parcourirLongueur();
            if (f != Issue::trouve) return f;
            if (bilan.nombre == 0 && sortie != nullptr) sortie->longueurFaite(marche.n);
        }
    }
    return Issue::trouve;
}

}  // namespace egypte
