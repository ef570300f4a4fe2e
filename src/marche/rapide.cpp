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

#include "commun/avancement.h"
#include "marche/recherche.h"
#include "facteurs/facteurs.h"

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
bool Recherche::rassembler(int k)
{
    return brouillon.cache.rassembler(k, cadre.Q, marche.x, cadre.bitsFacteurs, brouillon.facteurs, brouillon.grands);
}

// Expansion with x[k] = a and x[n] = b: shown through the one display.
// Returns whether the range must stop there: the receiver's stop, or Ctrl-C.
bool Recherche::montrer()
{
    livrer();
    return arretDemande || arrete();
}

// ---- the same when q does not fit -------------------------------------------

void Recherche::diviseursZ(std::size_t idx)
{
    if (brouillon.coupeZ) return;
    const ZZ& d = brouillon.pileZ[idx];
    if (idx == brouillon.nbFacteursZ) {
        if (d >= brouillon.dloz) {
            rem(brouillon.tz, d, brouillon.pz);
            if (brouillon.tz == brouillon.uz) {
                if (brouillon.nbZ == brouillon.candidatsZ.size()) brouillon.candidatsZ.emplace_back();
                brouillon.candidatsZ[brouillon.nbZ++] = d;
            }
        }
        if (++brouillon.noeudsZ % PAS_INTERRUPTION == 0 && arrete()) brouillon.coupeZ = true;
        return;
    }
    const ZZ& pr = brouillon.facteursZ[idx].p;
    const int e2 = 2 * brouillon.facteursZ[idx].e;
    ZZ& e = brouillon.pileZ[idx + 1];
    e = d;
    for (int t = 0;; t++) {
        diviseursZ(idx + 1);
        if (t == e2) break;
        mul(e, e, pr);
        if (e > brouillon.dhiz) break;
    }
}

// x[k] <- the last value shown or reached, back into the running sum, then the
// walk's own backtrack, exactly as the step that met that value would end.
void Recherche::reculer()
{
    if (cadre.type == 2) arriere2();
    else arriere();
}

// x[i] out of the running sum (plu() puts it back), and pz/qz <- what is
// left of P/Q for x[i] onwards, in lowest terms.
void Recherche::resteSansDernier()
{
    marche.moin();
    mul(brouillon.pz, cadre.P, marche.D);
    mul(brouillon.tz, cadre.Q, marche.N);
    sub(brouillon.pz, brouillon.pz, brouillon.tz);
    mul(brouillon.qz, cadre.Q, marche.D);
    GCD(brouillon.g, brouillon.pz, brouillon.qz);
    div(brouillon.pz, brouillon.pz, brouillon.g);
    div(brouillon.qz, brouillon.qz, brouillon.g);
}

void Recherche::finir(int k, const ZZ& v)
{
    marche.x[k] = v;
    marche.plu();
    reculer();
}

// Keeps in facteurs the primes that divide q, with their exponents in q, the
// largest first (they cut the enumeration soonest), and sets tau to the
// number of divisors of q^2. False when those primes do not make up q.
bool Recherche::exposantsMots(u64 q, double& tau)
{
    tau = 1;
    std::size_t w0 = 0;
    for (std::size_t a0 = 0; a0 < brouillon.facteurs.size(); a0++) {
        const u64 pr = brouillon.facteurs[a0].p;
        int e0 = 0;
        while (q % pr == 0) {
            q /= pr;
            e0++;
        }
        if (e0 > 0) brouillon.facteurs[w0++] = Puissance{pr, e0};
        tau *= 2 * e0 + 1;
    }
    brouillon.facteurs.resize(w0);
    // A prime kept as a big integer divides q only when it fits a word too
    // (the tests keep small primes that way).
    for (const ZZ& g0 : brouillon.grands) {
        if (NumBits(g0) > 63) continue;
        const u64 pr = versU64(g0);
        int e0 = 0;
        while (q % pr == 0) {
            q /= pr;
            e0++;
        }
        if (e0 > 0) brouillon.facteurs.push_back(Puissance{pr, e0});
        tau *= 2 * e0 + 1;
    }
    std::sort(brouillon.facteurs.begin(), brouillon.facteurs.end(),
              [](const Puissance& u, const Puissance& v) { return u.p > v.p; });
    return q == 1;
}

// How the range is done: pas = stepped, else listed (apparie = by matching
// residues), from the counts of its values and of the divisors of q^2.
void Recherche::choisir(double valeurs, double tau, double p, bool mots, bool& apparie, bool& pas)
{
    // The residues are matched when p is large and the divisors many (machine
    // words only); the range is stepped when it is shorter than the listing.
    apparie = cadre.methode == 3 || (cadre.methode == 0 && mots && p > 8 && tau > 256);
    const double lister = apparie ? 10 * std::sqrt(tau) + tau / p : tau;
    pas = cadre.methode == 0 ? valeurs * 4 < lister : cadre.methode == 2;
}

// M as the bound of x[n] in machine words (borne false when there is none
// or when it is beyond 127 bits, where no b computed here can pass it).
void Recherche::borneMots(Mots& m)
{
    m.impair = cadre.parite == 1;
    m.pair = cadre.parite == 2;
    m.borne = !IsZero(cadre.M) && NumBits(cadre.M) <= 127;
    m.Mb = 0;
    if (m.borne) {
        m.Mb = to_ulong(cadre.M >> 64);
        m.Mb = (m.Mb << 64) | static_cast<u64>(to_ulong(trunc_ZZ(cadre.M, 64)));
    }
}

// R = p/q left for x[k] and x[n], x[k] from v0 down to vlast.
void Recherche::plageMots(Mots& m, u64 p, u64 q, u64 v0, u64 vlast)
{
    m.plage(p, q, v0, vlast, cadre.z, cadre.type == 2);
}

// The range of x[k] in machine words: the candidates, then each expansion
// through the display, in the walk's order.
Recherche::FinPlage Recherche::parcourirMots(const Mots& m, bool apparie, bool pas)
{
    const int k = marche.n - 1;
    brouillon.liste.chercher(m, brouillon.facteurs, apparie, pas);
    if (brouillon.liste.coupe) return FinPlage::coupee;
    if (compterBloc(m)) return FinPlage::complete;
    brouillon.liste.trier();
    for (u64 d : brouillon.liste.candidats) {
        u64 av;
        u128 bv;
        if (!m.complete(d, av, bv)) continue;
        conv(marche.x[k], static_cast<unsigned long>(av));
        if ((bv >> 64) == 0) conv(marche.x[marche.n], static_cast<unsigned long>(bv));
        else versZZ(marche.x[marche.n], bv, brouillon.tz);
        if (montrer()) {
            brouillon.arretA = av;
            return FinPlage::arret;
        }
    }
    return FinPlage::complete;
}

// An output that shows none of them takes the expansions of a range at once:
// their number, the last of them in the walk's order (the smallest divisor,
// so the largest x[n]) and the x[n] of the first (the largest divisor, so
// the smallest x[n]: b = (q + q^2/d)/p falls as d grows) for the extremes;
// no order, no big integer for each. False when they must go one by one.
bool Recherche::compterBloc(const Mots& m)
{
    std::int64_t nombre = 0;
    u64 dmin = 0, dmax = 0;
    for (u64 d : brouillon.liste.candidats) {
        if (!m.convient(d)) continue;
        if (nombre == 0 || d < dmin) dmin = d;
        if (nombre == 0 || d > dmax) dmax = d;
        nombre++;
    }
    if (nombre == 0) return true;
    const int k = marche.n - 1;
    u64 av;
    u128 bv;
    m.complete(dmax, av, bv);
    if ((bv >> 64) == 0) conv(brouillon.premierXn, static_cast<unsigned long>(bv));
    else versZZ(brouillon.premierXn, bv, brouillon.tz);
    m.complete(dmin, av, bv);
    conv(marche.x[k], static_cast<unsigned long>(av));
    if ((bv >> 64) == 0) conv(marche.x[marche.n], static_cast<unsigned long>(bv));
    else versZZ(marche.x[marche.n], bv, brouillon.tz);
    return livrerBloc(nombre, brouillon.premierXn);
}

// The same as exposantsMots for a q that does not fit machine words (qz),
// into facteursZ: the machine primes, then those kept as big integers.
bool Recherche::exposantsZ(double& tau)
{
    tau = 1;
    ZZ reste = brouillon.qz;
    brouillon.nbFacteursZ = 0;
    auto garder = [&](int e0, auto&& prendre) {
        tau *= 2 * e0 + 1;
        if (e0 == 0) return;
        if (brouillon.nbFacteursZ == brouillon.facteursZ.size()) brouillon.facteursZ.emplace_back();
        prendre(brouillon.facteursZ[brouillon.nbFacteursZ].p);
        brouillon.facteursZ[brouillon.nbFacteursZ++].e = e0;
    };
    for (const Puissance& f : brouillon.facteurs) {
        const long pr = static_cast<long>(f.p);
        int e0 = 0;
        while (rem(reste, pr) == 0) {
            div(reste, reste, pr);
            e0++;
        }
        garder(e0, [&](ZZ& p) { conv(p, pr); });
    }
    for (const ZZ& g0 : brouillon.grands) {
        int e0 = 0;
        while (divide(brouillon.tz, reste, g0)) {
            reste = brouillon.tz;
            e0++;
        }
        garder(e0, [&](ZZ& p) { p = g0; });
    }
    if (!IsOne(reste)) return false;
    std::sort(brouillon.facteursZ.begin(), brouillon.facteursZ.begin() + static_cast<long>(brouillon.nbFacteursZ),
              [](const PuissanceZ& u, const PuissanceZ& v) { return u.p > v.p; });
    return true;
}

// The candidate divisors d of the range in big integers, in the walk's order
// (decreasing), into candidatsZ[0..nbZ): the range stepped, or the divisors
// of q^2 listed. coupeZ when Ctrl-C cut the work.
void Recherche::listerZ(bool pas)
{
    brouillon.noeudsZ = 0;
    brouillon.coupeZ = false;
    sqr(brouillon.q2z, brouillon.qz);
    rem(brouillon.uz, brouillon.qz, brouillon.pz);
    if (!IsZero(brouillon.uz)) sub(brouillon.uz, brouillon.pz, brouillon.uz);  // -q mod p
    mul(brouillon.dhiz, brouillon.pz, brouillon.v0);
    sub(brouillon.dhiz, brouillon.dhiz, brouillon.qz);
    if (cadre.type == 2) sub(brouillon.tz, brouillon.qz, 1);
    else brouillon.tz = brouillon.qz;
    if (brouillon.dhiz > brouillon.tz) brouillon.dhiz = brouillon.tz;
    mul(brouillon.dloz, brouillon.pz, brouillon.vlast);
    sub(brouillon.dloz, brouillon.dloz, brouillon.qz);
    if (brouillon.dloz < 1) brouillon.dloz = 1;
    brouillon.nbZ = 0;
    if (brouillon.dloz > brouillon.dhiz) return;
    if (pas) {
        ZZ av = brouillon.v0, d;
        for (;;) {
            mul(d, brouillon.pz, av);
            sub(d, d, brouillon.qz);
            if (d >= brouillon.dloz && d <= brouillon.dhiz && divide(brouillon.q2z, d)) {
                if (brouillon.nbZ == brouillon.candidatsZ.size()) brouillon.candidatsZ.emplace_back();
                brouillon.candidatsZ[brouillon.nbZ++] = d;
            }
            if (av == brouillon.vlast) break;
            sub(av, av, cadre.z);
            if (++brouillon.noeudsZ % PAS_INTERRUPTION == 0 && arrete()) {
                brouillon.coupeZ = true;
                break;
            }
        }
    } else {
        if (brouillon.pileZ.size() < brouillon.nbFacteursZ + 1) brouillon.pileZ.resize(brouillon.nbFacteursZ + 1);
        brouillon.pileZ[0] = 1;
        diviseursZ(0);
        std::sort(brouillon.candidatsZ.begin(), brouillon.candidatsZ.begin() + static_cast<long>(brouillon.nbZ),
                  [](const ZZ& u, const ZZ& v) { return u > v; });
    }
}

// The range of x[k] in big integers, as parcourirMots in machine words: the
// candidates, then each expansion through the display, in the walk's order.
Recherche::FinPlage Recherche::parcourirZ(bool pas)
{
    const int k = marche.n - 1;
    listerZ(pas);
    if (brouillon.coupeZ) return FinPlage::coupee;
    ZZ bz;
    for (std::size_t c = 0; c < brouillon.nbZ; c++) {
        const ZZ& d = brouillon.candidatsZ[c];
        add(brouillon.tz, brouillon.qz, d);
        div(marche.x[k], brouillon.tz, brouillon.pz);
        if (cadre.z == 2) {
            sub(brouillon.tz, brouillon.v0, marche.x[k]);
            if (IsOdd(brouillon.tz)) continue;
        }
        div(bz, brouillon.q2z, d);
        add(bz, bz, brouillon.qz);
        div(bz, bz, brouillon.pz);
        if (cadre.parite == 1 && !IsOdd(bz)) continue;
        if (cadre.parite == 2 && IsOdd(bz)) continue;
        if (!IsZero(cadre.M) && bz > cadre.M) continue;
        marche.x[marche.n] = bz;
        if (montrer()) return FinPlage::arret;
    }
    return FinPlage::complete;
}

// The whole remaining range of the penultimate position in one call. Returns
// false, with nothing changed, when it cannot be done this way.
bool Recherche::dernierNiveau()
{
    const int k = marche.n - 1;
    if (k < 1 || marche.i != k || marche.x[1] < marche.minr[1]) return false;
    brouillon.v0 = marche.x[k];
    // The backtrack lowers x[k] by z while the new value stays at least minr[k]
    // and above x[k-1] (Type 2) or at least x[k-1] (Type 1).
    if (cadre.type == 2) add(brouillon.lo, marche.x[k - 1], 1);
    else sub(brouillon.lo, marche.x[k - 1], cadre.z - 1);
    if (brouillon.lo < marche.minr[k]) brouillon.lo = marche.minr[k];
    if (brouillon.v0 >= brouillon.lo) {
        sub(brouillon.tz, brouillon.v0, brouillon.lo);
        div(brouillon.tz, brouillon.tz, cadre.z);
        mul(brouillon.tz, brouillon.tz, cadre.z);
        sub(brouillon.vlast, brouillon.v0, brouillon.tz);
    } else {
        brouillon.vlast = brouillon.v0;
    }
    if (!rassembler(k)) return false;

    resteSansDernier();
    mul(brouillon.tz, brouillon.pz, brouillon.vlast);
    if (sign(brouillon.pz) <= 0 || brouillon.tz <= brouillon.qz) {
        marche.plu();
        return false;
    }
    // Exponents of the primes in q; they must make up q entirely.
    const bool mots = NumBits(brouillon.qz) <= cadre.bitsMots && NumBits(brouillon.v0) <= cadre.bitsMots &&
                      NumBits(brouillon.pz) <= cadre.bitsMots;
    double tau = 1;
    if (!(mots ? exposantsMots(versU64(brouillon.qz), tau) : exposantsZ(tau))) {
        marche.plu();
        return false;
    }
    sub(brouillon.tz, brouillon.v0, brouillon.vlast);
    div(brouillon.tz, brouillon.tz, cadre.z);
    bool apparie, pas;
    choisir(to_double(brouillon.tz) + 1, tau, to_double(brouillon.pz), mots, apparie, pas);

    marche.prefixe++;
    FinPlage fin;
    if (mots) {
        Mots m;
        borneMots(m);
        plageMots(m, versU64(brouillon.pz), versU64(brouillon.qz), versU64(brouillon.v0), versU64(brouillon.vlast));
        fin = parcourirMots(m, apparie, pas);
    } else {
        // q or the range does not fit machine words: the same with big integers.
        fin = parcourirZ(pas);
    }
    if (fin == FinPlage::coupee) finir(k, brouillon.v0);
    else if (fin == FinPlage::arret) finir(k, marche.x[k]);
    else finir(k, brouillon.vlast);
    return true;
}

void Recherche::etape()
{
    if (marche.i == marche.n - 1 && marche.n >= 2 && dernierNiveau()) return;
    if (marche.i == marche.n - 2 && marche.n >= 3 && avantDernier()) return;
    if (cadre.type == 2) suite2();
    else suite();
}

}  // namespace egypte
