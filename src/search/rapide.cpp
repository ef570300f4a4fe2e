// The fast search at the penultimate position. With x[1..k-1] placed (k = n-1)
// and R = p/q (lowest terms) left for x[k] and x[n]:
//
//     1/a + 1/b = p/q   exactly when   (pa - q)(pb - q) = q^2,
//
// so the values a of x[k] that complete are a = (q + d)/p for the divisors d
// of q^2 with d = -q (mod p); b = (q + q^2/d)/p, and a <= b when d <= q. A
// larger d is a larger a, so the divisors in decreasing order are the walk's
// order. The walk steps x[k] from its current value v0 down by z to the last
// value its backtrack lets it take; only the divisors in that range, whose a
// and b have the required parity and whose b is at most M, are expansions.
//
// The primes of q all divide Q times the placed unknowns, so only single
// numbers are factored, each once while it stays in place: in machine words
// when they fit, otherwise through FLINT with a bounded effort (so that 2/p
// for a prime p of 100 bits is found at once), their primes beyond 63 bits
// kept as big integers. The divisors are
// listed depth-first under the bound of the range, or, when they are many and
// p is large, matched by their residues mod p in two halves; when the range
// has fewer values than that work, it is stepped instead (one division per
// value, without the bound computation of a walk step). When q cannot be
// factored within that effort (a composite cofactor too large for it), the
// walk's own step runs: slower, never wrong, and Ctrl-C stops it.
//
// One position higher, x[n-2] runs through its values in machine words, each
// followed by the range of x[n-1] as above (see "the position before" below).

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "search/avancement.h"
#include "search/etat.h"
#include "search/facteurs.h"
#include "search/recherche.h"

namespace egypte {

namespace {

u64 versU64(const ZZ& v) { return static_cast<u64>(to_ulong(v)); }

void versZZ(ZZ& r, u128 v, ZZ& tz)
{
    conv(r, static_cast<unsigned long>(v >> 64));
    LeftShift(r, r, 64);
    conv(tz, static_cast<unsigned long>(v));
    add(r, r, tz);
}

}  // namespace

// The primes of Q and of x[1..k-1], each once.
bool Recherche::rassembler(int k) { return cache.rassembler(k, Q, x, bitsFacteurs, facteurs, grands); }

// Expansion with x[k] = a and x[n] = b: shown through the one display.
// Returns whether the range must stop there: the receiver's stop, or Ctrl-C.
bool Recherche::montrer()
{
    affiche();
    return arretDemande || arrete();
}

// ---- the same when q does not fit -------------------------------------------

void Recherche::diviseursZ(std::size_t idx)
{
    if (coupeZ) return;
    const ZZ& d = pileZ[idx];
    if (idx == nbFacteursZ) {
        if (d >= dloz) {
            rem(tz, d, pz);
            if (tz == uz) {
                if (nbZ == candidatsZ.size()) candidatsZ.emplace_back();
                candidatsZ[nbZ++] = d;
            }
        }
        if (++noeudsZ % PAS_INTERRUPTION == 0 && arrete()) coupeZ = true;
        return;
    }
    const ZZ& pr = facteursZ[idx].p;
    const int e2 = 2 * facteursZ[idx].e;
    ZZ& e = pileZ[idx + 1];
    e = d;
    for (int t = 0;; t++) {
        diviseursZ(idx + 1);
        if (t == e2) break;
        mul(e, e, pr);
        if (e > dhiz) break;
    }
}

// x[k] <- the last value shown or reached, back into the running sum, then the
// walk's own backtrack, exactly as the step that met that value would end.
void Recherche::reculer()
{
    if (type == 2) arriere2();
    else arriere();
}

// x[i] out of the running sum (plu() puts it back), and pz/qz <- what is
// left of P/Q for x[i] onwards, in lowest terms.
void Recherche::resteSansDernier()
{
    moin();
    mul(pz, P, D);
    mul(tz, Q, N);
    sub(pz, pz, tz);
    mul(qz, Q, D);
    GCD(g, pz, qz);
    div(pz, pz, g);
    div(qz, qz, g);
}

void Recherche::finir(int k, const ZZ& v)
{
    x[k] = v;
    plu();
    reculer();
}

// Keeps in facteurs the primes that divide q, with their exponents in q, the
// largest first (they cut the enumeration soonest), and sets tau to the
// number of divisors of q^2. False when those primes do not make up q.
bool Recherche::exposantsMots(u64 q, double& tau)
{
    tau = 1;
    std::size_t w0 = 0;
    for (std::size_t a0 = 0; a0 < facteurs.size(); a0++) {
        const u64 pr = facteurs[a0].p;
        int e0 = 0;
        while (q % pr == 0) {
            q /= pr;
            e0++;
        }
        if (e0 > 0) facteurs[w0++] = Puissance{pr, e0};
        tau *= 2 * e0 + 1;
    }
    facteurs.resize(w0);
    // A prime kept as a big integer divides q only when it fits a word too
    // (the tests keep small primes that way).
    for (const ZZ& g0 : grands) {
        if (NumBits(g0) > 63) continue;
        const u64 pr = versU64(g0);
        int e0 = 0;
        while (q % pr == 0) {
            q /= pr;
            e0++;
        }
        if (e0 > 0) facteurs.push_back(Puissance{pr, e0});
        tau *= 2 * e0 + 1;
    }
    std::sort(facteurs.begin(), facteurs.end(), [](const Puissance& u, const Puissance& v) { return u.p > v.p; });
    return q == 1;
}

// How the range is done: pas = stepped, else listed (apparie = by matching
// residues), from the counts of its values and of the divisors of q^2.
void Recherche::choisir(double valeurs, double tau, double p, bool mots, bool& apparie, bool& pas)
{
    // The residues are matched when p is large and the divisors many (machine
    // words only); the range is stepped when it is shorter than the listing.
    apparie = methode == 3 || (methode == 0 && mots && p > 8 && tau > 256);
    const double lister = apparie ? 10 * std::sqrt(tau) + tau / p : tau;
    pas = methode == 0 ? valeurs * 4 < lister : methode == 2;
}

// M as the bound of x[n] in machine words (borne false when there is none
// or when it is beyond 127 bits, where no b computed here can pass it).
void Recherche::borneMots(Mots& m)
{
    m.impair = parite == 1;
    m.pair = parite == 2;
    m.borne = !IsZero(M) && NumBits(M) <= 127;
    m.Mb = 0;
    if (m.borne) {
        m.Mb = to_ulong(M >> 64);
        m.Mb = (m.Mb << 64) | static_cast<u64>(to_ulong(trunc_ZZ(M, 64)));
    }
}

// R = p/q left for x[k] and x[n], x[k] from v0 down to vlast.
void Recherche::plageMots(Mots& m, u64 p, u64 q, u64 v0, u64 vlast) { m.plage(p, q, v0, vlast, z, type == 2); }

// The range of x[k] in machine words: the candidates, then each expansion
// through the display, in the walk's order.
Recherche::FinPlage Recherche::parcourirMots(const Mots& m, bool apparie, bool pas)
{
    const int k = n - 1;
    liste.chercher(m, facteurs, apparie, pas);
    if (liste.coupe) return FinPlage::coupee;
    if (compterBloc(m)) return FinPlage::complete;
    liste.trier();
    for (u64 d : liste.candidats) {
        u64 av;
        u128 bv;
        if (!m.complete(d, av, bv)) continue;
        conv(x[k], static_cast<unsigned long>(av));
        if ((bv >> 64) == 0) conv(x[n], static_cast<unsigned long>(bv));
        else versZZ(x[n], bv, tz);
        if (montrer()) {
            arretA = av;
            return FinPlage::arret;
        }
    }
    return FinPlage::complete;
}

// An output that shows none of them takes the expansions of a range at once:
// their number, and the last of them in the walk's order (the smallest
// divisor, so the largest x[n]) for the extremes; no order, no big integer
// for each. False when they must go one by one.
bool Recherche::compterBloc(const Mots& m)
{
    std::int64_t nombre = 0;
    u64 dmin = 0;
    for (u64 d : liste.candidats) {
        if (!m.convient(d)) continue;
        if (nombre == 0 || d < dmin) dmin = d;
        nombre++;
    }
    if (nombre == 0) return true;
    const int k = n - 1;
    u64 av;
    u128 bv;
    m.complete(dmin, av, bv);
    conv(x[k], static_cast<unsigned long>(av));
    if ((bv >> 64) == 0) conv(x[n], static_cast<unsigned long>(bv));
    else versZZ(x[n], bv, tz);
    return afficheBloc(nombre);
}

// The same as exposantsMots for a q that does not fit machine words (qz),
// into facteursZ: the machine primes, then those kept as big integers.
bool Recherche::exposantsZ(double& tau)
{
    tau = 1;
    ZZ reste = qz;
    nbFacteursZ = 0;
    auto garder = [&](int e0, auto&& prendre) {
        tau *= 2 * e0 + 1;
        if (e0 == 0) return;
        if (nbFacteursZ == facteursZ.size()) facteursZ.emplace_back();
        prendre(facteursZ[nbFacteursZ].p);
        facteursZ[nbFacteursZ++].e = e0;
    };
    for (const Puissance& f : facteurs) {
        const long pr = static_cast<long>(f.p);
        int e0 = 0;
        while (rem(reste, pr) == 0) {
            div(reste, reste, pr);
            e0++;
        }
        garder(e0, [&](ZZ& p) { conv(p, pr); });
    }
    for (const ZZ& g0 : grands) {
        int e0 = 0;
        while (divide(tz, reste, g0)) {
            reste = tz;
            e0++;
        }
        garder(e0, [&](ZZ& p) { p = g0; });
    }
    if (!IsOne(reste)) return false;
    std::sort(facteursZ.begin(), facteursZ.begin() + static_cast<long>(nbFacteursZ),
              [](const PuissanceZ& u, const PuissanceZ& v) { return u.p > v.p; });
    return true;
}

// The candidate divisors d of the range in big integers, in the walk's order
// (decreasing), into candidatsZ[0..nbZ): the range stepped, or the divisors
// of q^2 listed. coupeZ when Ctrl-C cut the work.
void Recherche::listerZ(bool pas)
{
    noeudsZ = 0;
    coupeZ = false;
    sqr(q2z, qz);
    rem(uz, qz, pz);
    if (!IsZero(uz)) sub(uz, pz, uz);  // -q mod p
    mul(dhiz, pz, v0);
    sub(dhiz, dhiz, qz);
    if (type == 2) sub(tz, qz, 1);
    else tz = qz;
    if (dhiz > tz) dhiz = tz;
    mul(dloz, pz, vlast);
    sub(dloz, dloz, qz);
    if (dloz < 1) dloz = 1;
    nbZ = 0;
    if (dloz > dhiz) return;
    if (pas) {
        ZZ av = v0, d;
        for (;;) {
            mul(d, pz, av);
            sub(d, d, qz);
            if (d >= dloz && d <= dhiz && divide(q2z, d)) {
                if (nbZ == candidatsZ.size()) candidatsZ.emplace_back();
                candidatsZ[nbZ++] = d;
            }
            if (av == vlast) break;
            sub(av, av, z);
            if (++noeudsZ % PAS_INTERRUPTION == 0 && arrete()) {
                coupeZ = true;
                break;
            }
        }
    } else {
        if (pileZ.size() < nbFacteursZ + 1) pileZ.resize(nbFacteursZ + 1);
        pileZ[0] = 1;
        diviseursZ(0);
        std::sort(candidatsZ.begin(), candidatsZ.begin() + static_cast<long>(nbZ),
                  [](const ZZ& u, const ZZ& v) { return u > v; });
    }
}

// The range of x[k] in big integers, as parcourirMots in machine words: the
// candidates, then each expansion through the display, in the walk's order.
Recherche::FinPlage Recherche::parcourirZ(bool pas)
{
    const int k = n - 1;
    listerZ(pas);
    if (coupeZ) return FinPlage::coupee;
    ZZ bz;
    for (std::size_t c = 0; c < nbZ; c++) {
        const ZZ& d = candidatsZ[c];
        add(tz, qz, d);
        div(x[k], tz, pz);
        if (z == 2) {
            sub(tz, v0, x[k]);
            if (IsOdd(tz)) continue;
        }
        div(bz, q2z, d);
        add(bz, bz, qz);
        div(bz, bz, pz);
        if (parite == 1 && !IsOdd(bz)) continue;
        if (parite == 2 && IsOdd(bz)) continue;
        if (!IsZero(M) && bz > M) continue;
        x[n] = bz;
        if (montrer()) return FinPlage::arret;
    }
    return FinPlage::complete;
}

// The whole remaining range of the penultimate position in one call. Returns
// false, with nothing changed, when it cannot be done this way.
bool Recherche::dernierNiveau()
{
    const int k = n - 1;
    if (k < 1 || i != k || x[1] < minr[1]) return false;
    v0 = x[k];
    // The backtrack lowers x[k] by z while the new value stays at least minr[k]
    // and above x[k-1] (Type 2) or at least x[k-1] (Type 1).
    if (type == 2) add(lo, x[k - 1], 1);
    else sub(lo, x[k - 1], z - 1);
    if (lo < minr[k]) lo = minr[k];
    if (v0 >= lo) {
        sub(tz, v0, lo);
        div(tz, tz, z);
        mul(tz, tz, z);
        sub(vlast, v0, tz);
    } else {
        vlast = v0;
    }
    if (!rassembler(k)) return false;

    resteSansDernier();
    mul(tz, pz, vlast);
    if (sign(pz) <= 0 || tz <= qz) {
        plu();
        return false;
    }
    // Exponents of the primes in q; they must make up q entirely.
    const bool mots = NumBits(qz) <= bitsMots && NumBits(v0) <= bitsMots && NumBits(pz) <= bitsMots;
    double tau = 1;
    if (!(mots ? exposantsMots(versU64(qz), tau) : exposantsZ(tau))) {
        plu();
        return false;
    }
    sub(tz, v0, vlast);
    div(tz, tz, z);
    bool apparie, pas;
    choisir(to_double(tz) + 1, tau, to_double(pz), mots, apparie, pas);

    prefixe++;
    FinPlage fin;
    if (mots) {
        Mots m;
        borneMots(m);
        plageMots(m, versU64(pz), versU64(qz), versU64(v0), versU64(vlast));
        fin = parcourirMots(m, apparie, pas);
    } else {
        // q or the range does not fit machine words: the same with big integers.
        fin = parcourirZ(pas);
    }
    if (fin == FinPlage::coupee) finir(k, v0);
    else if (fin == FinPlage::arret) finir(k, x[k]);
    else finir(k, vlast);
    return true;
}

void Recherche::etape()
{
    if (i == n - 1 && n >= 2 && dernierNiveau()) return;
    if (i == n - 2 && n >= 3 && avantDernier()) return;
    if (type == 2) suite2();
    else suite();
}

}  // namespace egypte
