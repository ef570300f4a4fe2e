// The two walks over the expansions of one length, one step per call, in
// decreasing lexicographic order. Type 1 (suite, arriere): x1 <= ... <= xn;
// Type 2 (suite2, arriere2): x1 < ... < xn. A walk ends by setting i to -1.
#include <mutex>
#include <ostream>

#include "commun/avancement.h"
#include "marche/recherche.h"
#include "marche/collecte.h"

namespace egypte {

void Recherche::livrer()
{
    if (collecte != nullptr) return collecte->ajouter(*this);
    if (sortie != nullptr) return sortie->developpement(*this);
    compter();
}

bool Recherche::livrerBloc(std::int64_t nombre, const ZZ& plusPetitXn)
{
    if (collecte != nullptr) return collecte->ajouterBloc(*this, static_cast<std::size_t>(nombre), plusPetitXn);
    if (sortie != nullptr) return sortie->developpements(*this, nombre, plusPetitXn);
    compter(nombre, plusPetitXn);
    return true;
}

// The whole walk is over.
void Recherche::fin()
{
    marche.i = -1;
}

// Places r as the next unknown.
void Recherche::descendre()
{
    marche.x[marche.i + 1] = marche.r;
    marche.i++;
    marche.plu();
}

// M*divis < divid: even at the maximum, the remaining unknowns fall short.
bool Recherche::tropPetit()
{
    if (IsZero(cadre.M)) return false;
    mul(marche.w, cadre.M, marche.divis);
    return marche.w < marche.divid;
}

// w <- x[k] - z, the next candidate of position k.
const ZZ& Recherche::precedent(int k)
{
    sub(marche.w, marche.x[k], cadre.z);
    return marche.w;
}

void Recherche::suite()
{
    marche.r = maxi(marche.i, marche.D, marche.N);
    if (marche.i == -1) return;
    if (marche.minr[marche.i + 1] > marche.r && (marche.i == 0 || marche.i < marche.n - 1)) {
        arriere();
        return;
    }
    if (tropPetit()) {
        arriere();
        return;
    }
    if (marche.x[marche.i] <= marche.r && !IsZero(marche.reste) && marche.i < marche.n - 1) {
        descendre();
        return;
    }
    if (marche.x[marche.i] <= marche.r && IsZero(marche.reste)) {
        for (int j = marche.i + 1; j <= marche.n; j++) marche.x[j] = marche.r;
        marche.prefixe++;
        livrer();
        if (marche.i < marche.n - 1) descendre();  // the expansion shown is the only one below
        arriere();
        return;
    }
    arriere();
}

void Recherche::suite2()
{
    marche.r = maxi(marche.i, marche.D, marche.N);
    if (marche.i == -1) return;
    if (marche.minr[marche.i + 1] > marche.r && (marche.i == 0 || marche.i < marche.n - 1)) {
        arriere2();
        return;
    }
    if (tropPetit()) {
        arriere2();
        return;
    }
    if (marche.x[marche.i] < marche.r && !IsZero(marche.reste)) {
        if (marche.i < marche.n - 1) descendre();
        else arriere2();
        return;
    }
    if (marche.x[marche.i] < marche.r && IsZero(marche.reste)) {
        for (int j = marche.i + 1; j <= marche.n; j++)
            add(marche.x[j], marche.r, static_cast<long>(j - marche.i - 1) * cadre.z);
        marche.prefixe++;
        livrer();
        if (marche.i < marche.n - 1) descendre();  // the expansion shown is the only one below
        arriere2();
        return;
    }
    arriere2();
}

void Recherche::arriere()
{
    if (marche.i <= 0 || marche.x[1] < marche.minr[1]) return fin();
    // Withdraw the positions that have no candidate left above their minimum.
    while (precedent(marche.i) < marche.minr[marche.i]) {
        marche.moin();
        marche.i--;
        if (marche.i <= 0 || marche.x[1] < marche.minr[1]) return fin();
    }
    if (marche.x[marche.i] > marche.x[marche.i - 1]) {
        marche.moin();
        sub(marche.x[marche.i], marche.x[marche.i], cadre.z);
        if (marche.x[1] < marche.minr[1]) return fin();
        marche.plu();
        return;
    }
    // x[i] has come down to its predecessor: withdraw the whole run of
    // unknowns equal to it, down to its first member.
    marche.e = marche.x[marche.i];
    while (marche.x[marche.i - 1] == marche.e) {
        marche.moin();
        marche.i--;
        if (marche.i <= 0 || marche.e == cadre.z || marche.x[1] < marche.minr[1]) return fin();
    }
    if (marche.i <= 0 || marche.e == cadre.z || marche.x[1] < marche.minr[1]) return fin();
    marche.moin();
    sub(marche.x[marche.i], marche.e, cadre.z);
    marche.plu();
    if (sign(marche.x[1]) <= 0) fin();
}

void Recherche::arriere2()
{
    if (marche.i <= 0 || marche.x[1] < marche.minr[1]) return fin();
    if (marche.i == 1) {
        add(marche.w, marche.minr[1], cadre.z);
        if (marche.x[1] >= marche.w) {
            marche.moin();
            sub(marche.x[1], marche.x[1], cadre.z);
            marche.plu();
            return;
        }
        return fin();
    }
    for (;;) {
        // Withdraw the positions that have no candidate left above their minimum.
        while (precedent(marche.i) < marche.minr[marche.i]) {
            marche.moin();
            marche.i--;
            if (marche.i <= 0 || marche.x[1] < marche.minr[1]) return fin();
        }
        add(marche.w, marche.x[marche.i - 1], cadre.z);
        if (marche.x[marche.i] > marche.w) {
            marche.moin();
            sub(marche.x[marche.i], marche.x[marche.i], cadre.z);
            marche.plu();
            return;
        }
        // The next candidate would equal the predecessor: withdraw the chain
        // of unknowns that follow each other at distance z.
        while (marche.x[marche.i - 1] == precedent(marche.i)) {
            marche.moin();
            marche.i--;
            if (marche.i <= 0 || marche.x[1] < marche.minr[1]) return fin();
        }
        // Lowering x[i] must not take it below its own minimum (a minimum for
        // x1, the exclusion of 1 or the parity); otherwise withdraw further.
        if (precedent(marche.i) >= marche.minr[marche.i]) break;
    }
    marche.moin();
    sub(marche.x[marche.i], marche.x[marche.i], cadre.z);
    marche.plu();
}

// The text of the status line: where the walk stands.
void Recherche::decrire(std::ostream& o) const
{
    o << "  recherche n = " << marche.n << "   x1 = ";
    if (avancement != nullptr) {
        progres::Avancement& a = *avancement;
        const std::lock_guard<std::mutex> garde(a.verrou);
        o << (a.x1.empty() ? "-" : a.x1);
        if (marche.n >= 2) o << "   x2 = " << (a.x2.empty() ? "-" : a.x2);
        o << "   solutions : " << a.solutions;
        // The share first: a narrow terminal cuts the end of the line.
        if (a.total > 0) o << "   unites : " << a.faites * 100 / a.total << " % (" << a.faites << "/" << a.total << ")";
        return;
    }
    // The placed value of x[k], or a dash when the walk has not placed it.
    auto inconnue = [&](int k) {
        if (marche.i >= k && marche.x.length() > k) o << marche.x[k];
        else o << '-';
    };
    inconnue(1);
    if (marche.n >= 2) {
        o << "   x2 = ";
        inconnue(2);
    }
    o << "   solutions : " << bilan.nombre;
}

}  // namespace egypte
