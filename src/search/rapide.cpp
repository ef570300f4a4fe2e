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
// numbers are factored, each once while it stays in place. The divisors are
// listed depth-first under the bound of the range, or, when they are many and
// p is large, matched by their residues mod p in two halves; when the range
// has fewer values than that work, it is stepped instead (one division per
// value, without the bound computation of a walk step). When q cannot be
// factored (a prime factor of Q or of an unknown beyond 64 bits that trial
// division does not find), the walk's own step runs: slower, never wrong.
//
// One position higher, x[n-2] runs through its values in machine words, each
// followed by the range of x[n-1] as above (see "the position before" below).
#include "search/rapide.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "output/progres.h"
#include "output/sortie.h"
#include "search/facteurs.h"
#include "search/recherche.h"

namespace egypte {

namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// The factorisation of one number, kept while that number stays in place.
struct Decomposition {
    ZZ valeur;            // the number factored
    bool faite = false;   // valeur has been factored (completely or not)
    bool complete = false;  // f is its whole factorisation
    std::vector<Puissance> f;
};

std::vector<Decomposition> cache;  // [0]: Q; [a]: x[a]
std::vector<Puissance> facteurs;   // the primes of q with their exponents in q
std::vector<u64> candidats;        // divisors d that give an expansion (machine words)
std::vector<ZZ> candidatsZ;        // the same when q does not fit a machine word
std::size_t nbZ = 0;               // entries of candidatsZ in use

ZZ v0, lo, vlast, g, pz, qz, tz, uz, q2z, dloz, dhiz;

constexpr int PAS_INTERRUPTION = 1 << 14;  // inner iterations between two looks at Ctrl-C

bool arrete() { return interrompu.load(std::memory_order_relaxed); }

u64 versU64(const ZZ& v) { return static_cast<u64>(to_ulong(v)); }

void versZZ(ZZ& r, u128 v)
{
    conv(r, static_cast<unsigned long>(v >> 64));
    LeftShift(r, r, 64);
    conv(tz, static_cast<unsigned long>(v));
    add(r, r, tz);
}

// Factors v into d (cached: nothing is done when v is the number already there).
// Primes below 2^63 only; a factor that cannot be split within machine words
// leaves the decomposition incomplete.
bool decomposer(const ZZ& v, Decomposition& d)
{
    if (d.faite && d.valeur == v) return d.complete;
    d.valeur = v;
    d.faite = true;
    d.complete = false;
    d.f.clear();
    if (sign(v) <= 0) return false;
    Puissance tab[16];
    if (NumBits(v) <= 64) {
        const int k = factoriser64(versU64(v), tab);
        d.f.assign(tab, tab + k);
    } else {
        // Only large inputs (Q, or a large unknown) come here: the small primes
        // are divided out, and the rest must fit a machine word.
        ZZ reste = v;
        for (long p = 2; p < 100000 && NumBits(reste) > 64; p += (p == 2 ? 1 : 2)) {
            if (rem(reste, p) != 0) continue;
            int e = 0;
            while (rem(reste, p) == 0) {
                div(reste, reste, p);
                e++;
            }
            d.f.push_back(Puissance{static_cast<u64>(p), e});
        }
        if (NumBits(reste) > 64) return false;
        const int k = factoriser64(versU64(reste), tab);
        for (int a = 0; a < k; a++) {
            bool vu = false;
            for (Puissance& f : d.f)
                if (f.p == tab[a].p) {
                    f.e += tab[a].e;
                    vu = true;
                }
            if (!vu) d.f.push_back(tab[a]);
        }
    }
    for (const Puissance& f : d.f)
        if (f.p >> 63) return false;
    d.complete = true;
    return true;
}

// The primes of Q and of x[1..k-1], each once.
bool rassembler(int k)
{
    facteurs.clear();
    if (cache.size() < static_cast<std::size_t>(n) + 1) cache.resize(n + 1);
    for (int a = 0; a < k; a++) {
        Decomposition& d = cache[a];
        if (!decomposer(a == 0 ? Q : x[a], d)) return false;
        for (const Puissance& f : d.f) {
            bool vu = false;
            for (const Puissance& g0 : facteurs) vu = vu || g0.p == f.p;
            if (!vu) facteurs.push_back(Puissance{f.p, 0});
        }
    }
    return true;
}

// Whether x1[1..n-3] already holds the placed unknowns x[1..n-3]: they do
// not change while x[n-2] and x[n-1] run through their ranges.
bool prefixeGarde = false;
bool montre = false;  // an expansion of the current range has been shown

// Expansion with x[k] = a and x[n] = b: shown through the one display.
// Returns whether the range must stop there: the answer -1, or Ctrl-C.
bool montrer()
{
    I = affiche();
    montre = true;
    return L == -1 || arrete();
}

// In the every-K mode x1 keeps the last expansion shown, as the walk does
// after each one; x[1..n] hold it. The answer that sets this mode comes in
// the display, so the mode seen after the last expansion is the one the walk
// would have seen after it.
void garderDerniere()
{
    if (!montre || !(L < -1)) return;
    if (!prefixeGarde) {
        for (a = 1; a <= n - 3; a++) x1[a] = x[a];
        prefixeGarde = true;
    }
    for (a = std::max(n - 2, 1); a <= n; a++) x1[a] = x[a];
}

// ---- q, p and the range in machine words -------------------------------------

// a mod p by a multiplication with p's reciprocal, worked out once per range:
// a division costs several times more, and the listings reduce at every node.
struct ModP {
    u64 p = 1;
    u64 inv = 0;  // floor((2^64 - 1) / p)
    void fixer(u64 p0)
    {
        p = p0;
        inv = ~u64(0) / p0;
    }
    // The estimate of the quotient is short by at most 2.
    u64 reduire(u64 a) const
    {
        const u64 qe = static_cast<u64>((static_cast<u128>(a) * inv) >> 64);
        u64 r = a - qe * p;
        while (r >= p) r -= p;
        return r;
    }
    u64 produit(u64 a, u64 b) const
    {
        if (p >> 32 == 0) return reduire(a * b);
        return static_cast<u64>(static_cast<u128>(a) * b % p);
    }
};

struct Mots {
    u64 p, q, c;       // R = p/q; c = -q mod p
    ModP mod;          // reductions mod p
    u128 q2;           // q^2
    u64 dlo, dhi;      // the divisors of the range
    u64 v0, vlast;     // the range of x[k]
    bool impair, pair; // the parity b must have
    bool borne;        // b must not exceed Mb
    u128 Mb;
};

bool completeMots(const Mots& m, u64 d, u64& av, u128& bv)
{
    av = (m.q + d) / m.p;
    if (z == 2 && ((m.v0 - av) & 1)) return false;
    bv = (static_cast<u128>(m.q) + m.q2 / d) / m.p;
    if (m.impair && !(bv & 1)) return false;
    if (m.pair && (bv & 1)) return false;
    if (m.borne && bv > m.Mb) return false;
    return true;
}

long noeuds = 0;
bool coupe = false;

void diviseurs(const Mots& m, std::size_t idx, u64 d)
{
    if (coupe) return;
    if (idx == facteurs.size()) {
        if (d >= m.dlo && m.mod.reduire(d) == m.c) candidats.push_back(d);
        if (++noeuds % PAS_INTERRUPTION == 0 && arrete()) coupe = true;
        return;
    }
    const u64 pr = facteurs[idx].p;
    const int e2 = 2 * facteurs[idx].e;
    for (int t = 0;; t++) {
        diviseurs(m, idx + 1, d);
        if (t == e2 || static_cast<u128>(d) * pr > m.dhi) break;
        d *= pr;
    }
}

// When q^2 has many divisors and p is large, most divisors fail the residue
// test: the primes are split in two groups, the divisors of the first group
// are filed in a hash table by their residue mod p, and each divisor dB of the
// second group looks up the dA with dA = c / dB (mod p) (dB is prime to p,
// since p and q are). The work is about the square root of the divisor count.
struct Entree {
    u64 r, d;    // a divisor of the first group and its residue mod p
    int suivant; // next entry of the same slot; -1 ends the chain
};
std::vector<Entree> groupeA;     // groupeA[0..nA-1] in use
std::size_t nA = 0;
struct Fente {
    unsigned marque;  // the slot is in use in this matching when equal to marque
    int tete;         // its first entry
};
std::vector<Fente> fentes;
unsigned marque = 0;             // changes at every matching, so the table is never cleared
int decalage = 64;               // 64 - log2 of the table size
std::vector<Puissance> premiersA, premiersB;
std::vector<u64> inverses;  // of the primes of the second group, mod p

std::size_t fente(u64 r) { return static_cast<std::size_t>((r * 0x9E3779B97F4A7C15ULL) >> decalage); }

// Inverse of a mod p (a prime to p < 2^62), by the extended Euclid algorithm:
// every value stays within 64 signed bits.
u64 inverse(u64 a, u64 p)
{
    std::int64_t r0 = static_cast<std::int64_t>(p), r1 = static_cast<std::int64_t>(a % p), s0 = 0, s1 = 1;
    while (r1 != 0) {
        const std::int64_t qq = r0 / r1;
        const std::int64_t r2 = r0 - qq * r1;
        r0 = r1;
        r1 = r2;
        const std::int64_t s2 = s0 - qq * s1;
        s0 = s1;
        s1 = s2;
    }
    if (s0 < 0) s0 += static_cast<std::int64_t>(p);
    return static_cast<u64>(s0);
}

// The divisors of the first group up to dhi, with their residues (obtained by
// multiplying residues, so that each costs one product rather than a division
// of the divisor itself).
void listerA(const Mots& m, std::size_t idx, u64 d, u64 rd)
{
    if (idx == premiersA.size()) {
        groupeA[nA++] = Entree{rd, d, -1};
        return;
    }
    const u64 pr = premiersA[idx].p;
    const u64 rp = m.mod.reduire(pr);
    for (int t = 0;; t++) {
        listerA(m, idx + 1, d, rd);
        if (t == premiersA[idx].e || static_cast<u128>(d) * pr > m.dhi) break;
        d *= pr;
        rd = m.mod.produit(rd, rp);
    }
}

void listerB(const Mots& m, std::size_t idx, u64 d, u64 inv)
{
    if (coupe) return;
    if (idx == premiersB.size()) {
        const u64 cible = m.mod.produit(m.c, inv);
        const std::size_t h = fente(cible);
        if (fentes[h].marque == marque) {
            for (int e = fentes[h].tete; e >= 0; e = groupeA[e].suivant) {
                const Entree& en = groupeA[e];
                if (en.r != cible) continue;
                const u128 dd = static_cast<u128>(en.d) * d;
                if (dd <= m.dhi && dd >= m.dlo) candidats.push_back(static_cast<u64>(dd));
            }
        }
        if (++noeuds % PAS_INTERRUPTION == 0 && arrete()) coupe = true;
        return;
    }
    const u64 pr = premiersB[idx].p;
    for (int t = 0;; t++) {
        listerB(m, idx + 1, d, inv);
        if (t == premiersB[idx].e || static_cast<u128>(d) * pr > m.dhi) break;
        d *= pr;
        inv = m.mod.produit(inv, inverses[idx]);
    }
}

void apparier(const Mots& m)
{
    // Exponents in q^2; each prime to the group whose divisor count is smaller.
    premiersA.clear();
    premiersB.clear();
    double tA = 1, tB = 1;
    for (const Puissance& f : facteurs) {
        if (tA <= tB) {
            premiersA.push_back(Puissance{f.p, 2 * f.e});
            tA *= 2 * f.e + 1;
        } else {
            premiersB.push_back(Puissance{f.p, 2 * f.e});
            tB *= 2 * f.e + 1;
        }
    }
    inverses.clear();
    for (const Puissance& f : premiersB) inverses.push_back(inverse(f.p, m.p));
    // tA bounds the entries: room for them all is made once.
    if (static_cast<double>(groupeA.size()) < tA) groupeA.resize(static_cast<std::size_t>(tA));
    nA = 0;
    listerA(m, 0, 1, 1 % m.p);
    // A table of at least twice as many slots as entries, a power of two.
    int bits = 4;
    while ((std::size_t(1) << bits) < 2 * nA) bits++;
    const std::size_t taille = std::size_t(1) << bits;
    if (fentes.size() < taille) fentes.resize(taille, Fente{marque, -1});
    decalage = 64 - bits;
    if (++marque == 0) {
        // After 2^32 matchings the marks come round: clear them once.
        for (Fente& f : fentes) f.marque = 0;
        marque = 1;
    }
    for (std::size_t a0 = 0; a0 < nA; a0++) {
        const std::size_t h = fente(groupeA[a0].r);
        if (fentes[h].marque == marque) groupeA[a0].suivant = fentes[h].tete;
        fentes[h] = Fente{marque, static_cast<int>(a0)};
    }
    listerB(m, 0, 1, 1 % m.p);
}

// ---- the same when q does not fit -------------------------------------------

std::vector<ZZ> pileZ;  // pileZ[idx]: the divisor built from the primes before idx

void diviseursZ(std::size_t idx)
{
    if (coupe) return;
    const ZZ& d = pileZ[idx];
    if (idx == facteurs.size()) {
        if (d >= dloz) {
            rem(tz, d, pz);
            if (tz == uz) {
                if (nbZ == candidatsZ.size()) candidatsZ.emplace_back();
                candidatsZ[nbZ++] = d;
            }
        }
        if (++noeuds % PAS_INTERRUPTION == 0 && arrete()) coupe = true;
        return;
    }
    const long pr = static_cast<long>(facteurs[idx].p);
    const int e2 = 2 * facteurs[idx].e;
    ZZ& e = pileZ[idx + 1];
    e = d;
    for (int t = 0;; t++) {
        diviseursZ(idx + 1);
        if (t == e2) break;
        mul(e, e, pr);
        if (e > dhiz) break;
    }
}

}  // namespace

int bitsMots = 62;
int methode = 0;
int avant = 1;

namespace {

// x[k] <- the last value shown or reached, back into the running sum, then the
// walk's own backtrack, exactly as the step that met that value would end.
void reculer() { q = (type == 2) ? arriere2() : arriere(); }

// x[i] out of the running sum (plu() puts it back), and pz/qz <- what is
// left of P/Q for x[i] onwards, in lowest terms.
void resteSansDernier()
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

void finir(int k, const ZZ& v)
{
    x[k] = v;
    plu();
    reculer();
}

// Keeps in facteurs the primes that divide q, with their exponents in q, the
// largest first (they cut the enumeration soonest), and sets tau to the
// number of divisors of q^2. False when those primes do not make up q.
bool exposantsMots(u64 q, double& tau)
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
    std::sort(facteurs.begin(), facteurs.end(), [](const Puissance& u, const Puissance& v) { return u.p > v.p; });
    return q == 1;
}

// How the range is done: pas = stepped, else listed (apparie = by matching
// residues), from the counts of its values and of the divisors of q^2.
void choisir(double valeurs, double tau, double p, bool mots, bool& apparie, bool& pas)
{
    // The residues are matched when p is large and the divisors many (machine
    // words only); the range is stepped when it is shorter than the listing.
    apparie = methode == 3 || (methode == 0 && mots && p > 8 && tau > 256);
    const double liste = apparie ? 10 * std::sqrt(tau) + tau / p : tau;
    pas = methode == 0 ? valeurs * 4 < liste : methode == 2;
}

// M as the bound of x[n] in machine words (borne false when there is none
// or when it is beyond 127 bits, where no b computed here can pass it).
void borneMots(Mots& m)
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
void plageMots(Mots& m, u64 p, u64 q, u64 v0, u64 vlast)
{
    m.p = p;
    m.q = q;
    m.c = (p - q % p) % p;
    m.mod.fixer(p);
    m.q2 = static_cast<u128>(q) * q;
    m.v0 = v0;
    m.vlast = vlast;
    const u128 hi = static_cast<u128>(p) * v0 - q;
    const u128 bas = static_cast<u128>(p) * vlast - q;
    const u64 dmax = type == 2 ? q - 1 : q;
    m.dhi = hi < dmax ? static_cast<u64>(hi) : dmax;
    m.dlo = bas < 1 ? 1 : (bas > dmax ? dmax + 1 : static_cast<u64>(bas));
}

// How a range ended.
enum class Issue {
    complete,  // every value seen: x[k] ends at vlast
    arret,     // stopped after the expansion with x[k] = arretA (-1 or Ctrl-C)
    coupee     // Ctrl-C while listing: x[k] stays at v0
};
u64 arretA = 0;

// The range of x[k] in machine words: the candidates, then each expansion
// through the display, in the walk's order.
Issue parcourirMots(const Mots& m, bool apparie, bool pas)
{
    const int k = n - 1;
    noeuds = 0;
    coupe = false;
    montre = false;
    candidats.clear();
    if (m.dlo <= m.dhi) {
        if (pas) {
            for (u64 av = m.v0;; av -= z) {
                const u128 d = static_cast<u128>(m.p) * av - m.q;
                if (d >= m.dlo && d <= m.dhi && m.q2 % static_cast<u64>(d) == 0)
                    candidats.push_back(static_cast<u64>(d));
                if (av == m.vlast) break;
                if (++noeuds % PAS_INTERRUPTION == 0 && arrete()) {
                    coupe = true;
                    break;
                }
            }
        } else {
            if (apparie) apparier(m);
            else diviseurs(m, 0, 1);
            std::sort(candidats.begin(), candidats.end(), [](u64 u, u64 v) { return u > v; });
        }
    }
    if (coupe) return Issue::coupee;
    for (u64 d : candidats) {
        u64 av;
        u128 bv;
        if (!completeMots(m, d, av, bv)) continue;
        conv(x[k], static_cast<unsigned long>(av));
        if ((bv >> 64) == 0) conv(x[n], static_cast<unsigned long>(bv));
        else versZZ(x[n], bv);
        if (montrer()) {
            arretA = av;
            garderDerniere();
            return Issue::arret;
        }
    }
    garderDerniere();
    return Issue::complete;
}

// The whole remaining range of the penultimate position in one call. Returns
// false, with nothing changed, when it cannot be done this way.
bool dernierNiveau()
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
    if (NumBits(qz) <= 64) {
        if (!exposantsMots(versU64(qz), tau)) {
            plu();
            return false;
        }
    } else {
        ZZ reste = qz;
        std::size_t w0 = 0;
        for (std::size_t a0 = 0; a0 < facteurs.size(); a0++) {
            const long pr = static_cast<long>(facteurs[a0].p);
            int e0 = 0;
            while (rem(reste, pr) == 0) {
                div(reste, reste, pr);
                e0++;
            }
            if (e0 > 0) facteurs[w0++] = Puissance{facteurs[a0].p, e0};
            tau *= 2 * e0 + 1;
        }
        facteurs.resize(w0);
        if (!IsOne(reste)) {
            plu();
            return false;
        }
        std::sort(facteurs.begin(), facteurs.end(), [](const Puissance& u, const Puissance& v) { return u.p > v.p; });
    }
    sub(tz, v0, vlast);
    div(tz, tz, z);
    bool apparie, pas;
    choisir(to_double(tz) + 1, tau, to_double(pz), mots, apparie, pas);

    prefixeGarde = false;
    if (mots) {
        Mots m;
        borneMots(m);
        plageMots(m, versU64(pz), versU64(qz), versU64(v0), versU64(vlast));
        const Issue fin = parcourirMots(m, apparie, pas);
        if (fin == Issue::coupee) finir(k, v0);
        else if (fin == Issue::arret) finir(k, x[k]);
        else finir(k, vlast);
        return true;
    }

    // q or the range does not fit machine words: the same with big integers.
    noeuds = 0;
    coupe = false;
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
    if (dloz <= dhiz) {
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
                if (++noeuds % PAS_INTERRUPTION == 0 && arrete()) {
                    coupe = true;
                    break;
                }
            }
        } else {
            if (pileZ.size() < facteurs.size() + 1) pileZ.resize(facteurs.size() + 1);
            pileZ[0] = 1;
            diviseursZ(0);
            std::sort(candidatsZ.begin(), candidatsZ.begin() + static_cast<long>(nbZ),
                      [](const ZZ& u, const ZZ& v) { return u > v; });
        }
    }
    if (coupe) {
        finir(k, v0);
        return true;
    }
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
        montre = false;
        const bool arret = montrer();
        garderDerniere();
        if (arret) {
            finir(k, x[k]);
            return true;
        }
    }
    finir(k, vlast);
    return true;
}

// ---- the position before: x[n-2] through its range, in machine words ------
//
// With x[1..n-3] placed and R3 = p3/q3 left, each value v of x[n-2] leaves
// R = p3/q3 - 1/v for the last two unknowns. The walk would spend a bound
// computation, a descent and a backtrack on each v in big integers; here the
// same decisions are taken in machine words: the bounds of x[n-1] (exactly as
// the bound computation finds them, Type 2 window included), the step's
// verdict, the range of x[n-1] by its divisors, and the backtrack as long as
// it only lowers x[n-2] by z. Anything else (a rare branch, a value that does
// not fit) hands the state back to the walk at the point it has reached.

std::vector<Puissance> base;  // the primes of q3

// Sign of 1/rm + 1/(rm+z) - p/q, for rm below 2^62.
int signeFenetre(u64 rm, u64 p, u64 q)
{
    const u128 gauche = static_cast<u128>(q) * (2 * rm + static_cast<u64>(z));
    u128 droite;
    if (__builtin_mul_overflow(static_cast<u128>(p) * rm, static_cast<u128>(rm + z), &droite)) return -1;
    return gauche > droite ? 1 : (gauche < droite ? -1 : 0);
}

u64 Mw = 0;       // M when it has at most 63 bits; 0 when there is none or when no value here can reach it
u64 minxMots = 0; // minx

// The bound computation for x[n-1] with x[n-2] = v and R = p/q after it:
// mrr = minr[n-1], r1 its upper bound, reste0 whether the completion from r1
// is exact. False when a value leaves machine words.
bool bornesSuivantes(u64 v, u64 p, u64 q, u64& mrr, u64& r1, bool& reste0)
{
    u64 mr = q / p;
    if (parite == 0) mr += 1;
    else mr += ((parite == 1) == ((mr & 1) != 0)) ? 2 : 1;
    if (type == 1) {
        const u64 dd = 2 * q;  // q < 2^62
        if ((dd / p) >> 62) return false;
        r1 = dd / p;
        reste0 = dd % p == 0;
    } else {
        // The window of two values from the first admissible start, moved up
        // at once to ceil(2/R) - z, below which its sum is above R.
        u64 rm = std::max<u64>(v + z, mr);
        const u64 c2 = (2 * q + p - 1) / p;
        if (c2 > static_cast<u64>(z) && c2 - z > rm) rm += (c2 - z - rm + z - 1) / z * z;
        for (;;) {
            if (rm >> 62) return false;
            if (signeFenetre(rm, p, q) <= 0) break;
            rm += z;
        }
        r1 = rm;
        reste0 = signeFenetre(rm, p, q) == 0;
    }
    if (Mw != 0 && r1 > Mw) {
        r1 = Mw;
        reste0 = static_cast<u128>(Mw) * p == static_cast<u128>(q) * 2;
    }
    if ((parite == 1 && !(r1 & 1)) || (parite == 2 && (r1 & 1))) {
        if (r1 < 2) return false;
        r1 -= 1;
        if (type == 1) reste0 = static_cast<u128>(r1) * p == static_cast<u128>(q) * 2;
        else reste0 = signeFenetre(r1, p, q) == 0;
    }
    mrr = std::max(mr, minxMots);
    return true;
}

// Whole ranges of x[n-2] at once. False when the walk's own step must run
// now: on the state as it came, or as handed back at the value reached.
bool avantDernier()
{
    const int k = n - 2;
    if (!avant || k < 1 || i != k || x[1] < minr[1]) return false;
    if (NumBits(minx) > 62 || NumBits(x[k]) > bitsMots || NumBits(minr[k]) > 62) return false;
    if (!rassembler(k)) return false;

    resteSansDernier();
    double tau;
    if (sign(pz) <= 0 || NumBits(qz) > bitsMots || NumBits(pz) > bitsMots || !exposantsMots(versU64(qz), tau)) {
        plu();
        return false;
    }
    base = facteurs;
    const u64 p3 = versU64(pz), q3 = versU64(qz);
    const u64 x3 = versU64(x[k - 1]);
    const u64 mr2 = versU64(minr[k]);
    const u64 minr1 = versU64(minr[1]);
    minxMots = versU64(minx);
    Mw = (!IsZero(M) && NumBits(M) <= 63) ? versU64(M) : 0;
    Mots m;
    borneMots(m);
    prefixeGarde = false;

    u64 v = versU64(x[k]);
    u64 mrr = 0;
    // Hands the state back: x[k] = v in the sum, i = k; then, for the
    // backtrack from k, the walk's own.
    auto rendre = [&]() {
        conv(x[k], static_cast<unsigned long>(v));
        plu();
        i = k;
    };
    // x[k+1] = w placed as well (the walk's own backtrack from k+1 next, or
    // its own step when the range could not be done here).
    auto rendreSuivant = [&](u64 w) {
        rendre();
        conv(minr[k + 1], static_cast<unsigned long>(mrr));
        conv(x[k + 1], static_cast<unsigned long>(w));
        i = k + 1;
        plu();
    };
    for (;;) {
        conv(x[k], static_cast<unsigned long>(v));
        // R = p3/q3 - 1/v, in lowest terms.
        const u128 a3 = static_cast<u128>(p3) * v;
        const u128 den = static_cast<u128>(q3) * v;
        if (arrete()) {
            // Ctrl-C: the state as the walk would hold it between two steps.
            rendre();
            return true;
        }
        if (a3 <= q3 || (den >> bitsMots) != 0 || (k == 1 && v < minr1)) {
            rendre();
            return false;
        }
        const u128 num = a3 - q3;
        const u64 d64 = static_cast<u64>(den);
        const u64 g0 = std::gcd(d64, static_cast<u64>(num % d64));
        if (((num / g0) >> bitsMots) != 0) {
            rendre();
            return false;
        }
        const u64 p = static_cast<u64>(num / g0), q = d64 / g0;
        u64 r1;
        bool reste0;
        if (!bornesSuivantes(v, p, q, mrr, r1, reste0)) {
            rendre();
            return false;
        }
        const bool echec = mrr > r1 || (Mw != 0 && static_cast<u128>(Mw) * p < static_cast<u128>(q) * 2);
        const bool descend = !echec && (type == 2 ? v < r1 : v <= r1);
        if (descend && reste0) {
            // The completion from r1 is itself an expansion: the walk's step.
            rendre();
            return false;
        }
        progres::tic();
        if (!descend) {
            // The step fails: the backtrack from k lowers x[k] by z when the
            // new value stays at least minr[k] and off its predecessor.
            const bool baisse = v >= mr2 + z && (type == 2 ? v != x3 + z : v > x3);
            if (!baisse) {
                rendre();
                reculer();
                return true;
            }
            v -= z;
            continue;
        }

        // x[k+1] from r1 down to the last value the backtrack lets it take.
        const u64 v0r = r1;
        u64 lo2 = type == 2 ? v + 1 : (v + 1 > static_cast<u64>(z) ? v + 1 - z : 0);
        lo2 = std::max(lo2, mrr);
        const u64 vl = v0r >= lo2 ? v0r - (v0r - lo2) / z * z : v0r;
        facteurs = base;
        Puissance tab[16];
        const int kv = factoriser64(v, tab);
        for (int a0 = 0; a0 < kv; a0++) {
            bool vu = false;
            for (const Puissance& f : base) vu = vu || f.p == tab[a0].p;
            if (!vu) facteurs.push_back(tab[a0]);
        }
        if (static_cast<u128>(p) * vl <= q || !exposantsMots(q, tau)) {
            rendreSuivant(v0r);
            return true;
        }
        bool apparie, pas;
        choisir(static_cast<double>((v0r - vl) / z) + 1, tau, static_cast<double>(p), true, apparie, pas);
        plageMots(m, p, q, v0r, vl);
        const Issue fin = parcourirMots(m, apparie, pas);
        if (fin != Issue::complete) {
            rendreSuivant(fin == Issue::arret ? arretA : v0r);
            reculer();
            return true;
        }
        // The backtrack from k+1, x[k+1] = vl: it withdraws to k when x[k+1]
        // has no candidate left (below minr[k+1], or onto x[k]), then lowers
        // x[k] as above (Type 1: a run of two equal values lowers x[k]
        // without looking at minr[k]).
        const bool retrait = vl < mrr + z;
        bool baisse;
        if (type == 2) baisse = (retrait || vl == v + z) && v >= mr2 + z && v != x3 + z;
        else if (retrait) baisse = v >= mr2 + z && v > x3;
        else baisse = vl == v && v > static_cast<u64>(z) && v != x3;
        if (!baisse) {
            rendreSuivant(vl);
            reculer();
            return true;
        }
        v -= z;
    }
}

}  // namespace

int etape()
{
    if (i == n - 1 && n >= 2 && dernierNiveau()) return 1;
    if (i == n - 2 && n >= 3 && avantDernier()) return 1;
    return type == 2 ? suite2() : suite();
}

}  // namespace egypte
