// The two walks over the expansions of one length, one step per call, in
// decreasing lexicographic order. Type 1 (suite, arriere): x1 <= ... <= xn;
// Type 2 (suite2, arriere2): x1 < ... < xn. A walk ends by setting i to -1.
#include "search/etat.h"
#include "search/parallele.h"
#include "search/recherche.h"

namespace egypte {

void Recherche::affiche()
{
    if (collecte != nullptr) return collecte->ajouter(*this);
    if (sortie != nullptr) return sortie->developpement(*this);
    compter(1);
}

void Recherche::compter(std::int64_t nombre)
{
    K1 += nombre;
    if (x[n] > m) m = x[n];
    if (K1 == nombre || x[1] < m1) m1 = x[1];
}

bool Recherche::afficheBloc(std::int64_t nombre)
{
    if (collecte != nullptr) return collecte->ajouterBloc(*this, static_cast<std::size_t>(nombre));
    if (sortie != nullptr) return sortie->developpements(*this, nombre);
    compter(nombre);
    return true;
}

// The whole walk is over.
void Recherche::fin()
{
    i = -1;
}

// Places r as the next unknown.
void Recherche::descendre()
{
    x[i + 1] = r;
    i++;
    plu();
}

// M*divis < divid: even at the maximum, the remaining unknowns fall short.
bool Recherche::tropPetit()
{
    if (IsZero(M)) return false;
    mul(w, M, divis);
    return w < divid;
}

// w <- x[k] - z, the next candidate of position k.
const ZZ& Recherche::precedent(int k)
{
    sub(w, x[k], z);
    return w;
}

void Recherche::suite()
{
    r = maxi(i, D, N);
    if (i == -1) return;
    if (minr[i + 1] > r && (i == 0 || i < n - 1)) {
        arriere();
        return;
    }
    if (tropPetit()) {
        arriere();
        return;
    }
    if (x[i] <= r && !IsZero(reste) && i < n - 1) {
        descendre();
        return;
    }
    if (x[i] <= r && IsZero(reste)) {
        for (int j = i + 1; j <= n; j++) x[j] = r;
        prefixe++;
        affiche();
        if (i < n - 1) descendre();  // the expansion shown is the only one below
        arriere();
        return;
    }
    arriere();
}

void Recherche::suite2()
{
    r = maxi(i, D, N);
    if (i == -1) return;
    if (minr[i + 1] > r && (i == 0 || i < n - 1)) {
        arriere2();
        return;
    }
    if (tropPetit()) {
        arriere2();
        return;
    }
    if (x[i] < r && !IsZero(reste)) {
        if (i < n - 1) descendre();
        else arriere2();
        return;
    }
    if (x[i] < r && IsZero(reste)) {
        for (int j = i + 1; j <= n; j++) add(x[j], r, static_cast<long>(j - i - 1) * z);
        prefixe++;
        affiche();
        if (i < n - 1) descendre();  // the expansion shown is the only one below
        arriere2();
        return;
    }
    arriere2();
}

void Recherche::arriere()
{
    if (i <= 0 || x[1] < minr[1]) return fin();
    // Withdraw the positions that have no candidate left above their minimum.
    while (precedent(i) < minr[i]) {
        moin();
        i--;
        if (i <= 0 || x[1] < minr[1]) return fin();
    }
    if (x[i] > x[i - 1]) {
        moin();
        sub(x[i], x[i], z);
        if (x[1] < minr[1]) return fin();
        plu();
        return;
    }
    // x[i] has come down to its predecessor: withdraw the whole run of
    // unknowns equal to it, down to its first member.
    e = x[i];
    while (x[i - 1] == e) {
        moin();
        i--;
        if (i <= 0 || e == z || x[1] < minr[1]) return fin();
    }
    if (i <= 0 || e == z || x[1] < minr[1]) return fin();
    moin();
    sub(x[i], e, z);
    plu();
    if (sign(x[1]) <= 0) fin();
}

void Recherche::arriere2()
{
    if (i <= 0 || x[1] < minr[1]) return fin();
    if (i == 1) {
        add(w, minr[1], z);
        if (x[1] >= w) {
            moin();
            sub(x[1], x[1], z);
            plu();
            return;
        }
        return fin();
    }
    for (;;) {
        // Withdraw the positions that have no candidate left above their minimum.
        while (precedent(i) < minr[i]) {
            moin();
            i--;
            if (i <= 0 || x[1] < minr[1]) return fin();
        }
        add(w, x[i - 1], z);
        if (x[i] > w) {
            moin();
            sub(x[i], x[i], z);
            plu();
            return;
        }
        // The next candidate would equal the predecessor: withdraw the chain
        // of unknowns that follow each other at distance z.
        while (x[i - 1] == precedent(i)) {
            moin();
            i--;
            if (i <= 0 || x[1] < minr[1]) return fin();
        }
        // Lowering x[i] must not take it below its own minimum (a minimum for
        // x1, the exclusion of 1 or the parity); otherwise withdraw further.
        if (precedent(i) >= minr[i]) break;
    }
    moin();
    sub(x[i], x[i], z);
    plu();
}

}  // namespace egypte
