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
#include "search/rapide.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// Whether x1[1..n-2] already holds the placed unknowns of this range.
bool prefixeGarde = false;

// Expansion with x[k] = a and x[n] = b: shown through the one display; in
// the every-K mode x1 keeps it, as after every expansion of the walk (the
// placed unknowns do not change within the range, so they are copied once).
// Returns whether the range must stop there: the answer -1, or Ctrl-C.
bool montrer()
{
    I = affiche();
    if (L < -1) {
        if (!prefixeGarde) {
            for (a = 1; a <= n - 2; a++) x1[a] = x[a];
            prefixeGarde = true;
        }
        x1[n - 1] = x[n - 1];
        x1[n] = x[n];
    }
    return L == -1 || arrete();
}

// ---- q, p and the range in machine words -------------------------------------

struct Mots {
    u64 p, q, c;       // R = p/q; c = -q mod p
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
        if (d >= m.dlo && d % m.p == m.c) candidats.push_back(d);
        if (++noeuds % PAS_INTERRUPTION == 0 && arrete()) coupe = true;
        return;
    }
    const u64 pr = facteurs[idx].p;
    const int e2 = 2 * facteurs[idx].e;
    for (int t = 0;; t++) {
        diviseurs(m, idx + 1, d);
        if (t == e2 || d > m.dhi / pr) break;
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
std::vector<Entree> groupeA;
std::vector<int> tete;           // first entry of each slot, valid when marque matches
std::vector<unsigned> marqueTete;
unsigned marque = 0;             // changes at every matching, so the table is never cleared
int decalage = 64;               // 64 - log2 of the table size
std::vector<Puissance> premiersA, premiersB;
std::vector<u64> inverses;  // of the primes of the second group, mod p

// Below 2^32 the product fits 64 bits, and a 64-bit division is much cheaper.
u64 mulmod(u64 a, u64 b, u64 p)
{
    if (p >> 32 == 0) return a * b % p;
    return static_cast<u64>(static_cast<u128>(a) * b % p);
}

std::size_t fente(u64 r) { return static_cast<std::size_t>((r * 0x9E3779B97F4A7C15ULL) >> decalage); }

u64 inverse(u64 a, u64 p)
{
    __int128 r0 = p, r1 = a % p, s0 = 0, s1 = 1;
    while (r1 != 0) {
        const __int128 qq = r0 / r1;
        const __int128 r2 = r0 - qq * r1;
        r0 = r1;
        r1 = r2;
        const __int128 s2 = s0 - qq * s1;
        s0 = s1;
        s1 = s2;
    }
    if (s0 < 0) s0 += p;
    return static_cast<u64>(s0);
}

// The divisors of the first group up to dhi, with their residues (obtained by
// multiplying residues, so that each costs one product rather than a division
// of the divisor itself).
void listerA(const Mots& m, std::size_t idx, u64 d, u64 rd)
{
    if (idx == premiersA.size()) {
        groupeA.push_back(Entree{rd, d, -1});
        return;
    }
    const u64 pr = premiersA[idx].p;
    const u64 rp = pr % m.p;
    for (int t = 0;; t++) {
        listerA(m, idx + 1, d, rd);
        if (t == premiersA[idx].e || d > m.dhi / pr) break;
        d *= pr;
        rd = mulmod(rd, rp, m.p);
    }
}

void listerB(const Mots& m, std::size_t idx, u64 d, u64 inv)
{
    if (coupe) return;
    if (idx == premiersB.size()) {
        const u64 cible = mulmod(m.c, inv, m.p);
        const std::size_t h = fente(cible);
        if (marqueTete[h] == marque) {
            const u64 plafond = m.dhi / d;
            for (int e = tete[h]; e >= 0; e = groupeA[e].suivant) {
                const Entree& en = groupeA[e];
                if (en.r != cible || en.d > plafond) continue;
                const u64 dd = en.d * d;
                if (dd >= m.dlo) candidats.push_back(dd);
            }
        }
        if (++noeuds % PAS_INTERRUPTION == 0 && arrete()) coupe = true;
        return;
    }
    const u64 pr = premiersB[idx].p;
    for (int t = 0;; t++) {
        listerB(m, idx + 1, d, inv);
        if (t == premiersB[idx].e || d > m.dhi / pr) break;
        d *= pr;
        inv = mulmod(inv, inverses[idx], m.p);
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
    groupeA.clear();
    listerA(m, 0, 1, 1 % m.p);
    // A table of at least twice as many slots as entries, a power of two.
    int bits = 4;
    while ((std::size_t(1) << bits) < 2 * groupeA.size()) bits++;
    const std::size_t taille = std::size_t(1) << bits;
    if (tete.size() < taille) {
        tete.resize(taille);
        marqueTete.assign(taille, marque);
    }
    decalage = 64 - bits;
    if (++marque == 0) {
        // After 2^32 matchings the marks come round: clear them once.
        std::fill(marqueTete.begin(), marqueTete.end(), 0u);
        marque = 1;
    }
    for (std::size_t a0 = 0; a0 < groupeA.size(); a0++) {
        const std::size_t h = fente(groupeA[a0].r);
        if (marqueTete[h] == marque) groupeA[a0].suivant = tete[h];
        marqueTete[h] = marque;
        tete[h] = static_cast<int>(a0);
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

namespace {

// x[k] <- the last value shown or reached, back into the running sum, then the
// walk's own backtrack, exactly as the step that met that value would end.
void finir(int k, const ZZ& v)
{
    x[k] = v;
    plu();
    q = (type == 2) ? arriere2() : arriere();
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

    moin();  // N/D is now the sum of x[1..k-1]
    mul(pz, P, D);
    mul(tz, Q, N);
    sub(pz, pz, tz);
    mul(qz, Q, D);
    GCD(g, pz, qz);
    div(pz, pz, g);
    div(qz, qz, g);
    mul(tz, pz, vlast);
    if (sign(pz) <= 0 || tz <= qz) {
        plu();
        return false;
    }
    // Exponents of the primes in q; they must make up q entirely.
    const bool mots = NumBits(qz) <= bitsMots && NumBits(v0) <= bitsMots && NumBits(pz) <= bitsMots;
    double tau = 1;
    if (NumBits(qz) <= 64) {
        u64 reste = versU64(qz);
        std::size_t w0 = 0;
        for (std::size_t a0 = 0; a0 < facteurs.size(); a0++) {
            const u64 pr = facteurs[a0].p;
            int e0 = 0;
            while (reste % pr == 0) {
                reste /= pr;
                e0++;
            }
            if (e0 > 0) facteurs[w0++] = Puissance{pr, e0};
            tau *= 2 * e0 + 1;
        }
        facteurs.resize(w0);
        if (reste != 1) {
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
    }
    // Large primes first: they cut the enumeration soonest.
    std::sort(facteurs.begin(), facteurs.end(), [](const Puissance& u, const Puissance& v) { return u.p > v.p; });
    sub(tz, v0, vlast);
    div(tz, tz, z);
    const double valeurs = to_double(tz) + 1;
    // The residues are matched when p is large and the divisors many (machine
    // words only); the range is stepped when it is shorter than the listing.
    const bool apparie = methode == 3 || (methode == 0 && mots && pz > 8 && tau > 256);
    const double liste = apparie ? 10 * std::sqrt(tau) + tau / to_double(pz) : tau;
    const bool pas = methode == 0 ? valeurs * 4 < liste : methode == 2;

    noeuds = 0;
    coupe = false;
    prefixeGarde = false;
    if (mots) {
        Mots m;
        m.p = versU64(pz);
        m.q = versU64(qz);
        m.c = (m.p - m.q % m.p) % m.p;
        m.q2 = static_cast<u128>(m.q) * m.q;
        m.v0 = versU64(v0);
        m.vlast = versU64(vlast);
        const u128 hi = static_cast<u128>(m.p) * m.v0 - m.q;
        const u128 bas = static_cast<u128>(m.p) * m.vlast - m.q;
        const u64 dmax = type == 2 ? m.q - 1 : m.q;
        m.dhi = hi < dmax ? static_cast<u64>(hi) : dmax;
        m.dlo = bas < 1 ? 1 : (bas > dmax ? dmax + 1 : static_cast<u64>(bas));
        m.impair = parite == 1;
        m.pair = parite == 2;
        m.borne = !IsZero(M) && NumBits(M) <= 127;
        m.Mb = 0;
        if (m.borne) {
            m.Mb = to_ulong(M >> 64);
            m.Mb = (m.Mb << 64) | static_cast<u64>(to_ulong(trunc_ZZ(M, 64)));
        }
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
        if (coupe) {
            finir(k, v0);
            return true;
        }
        for (u64 d : candidats) {
            u64 av;
            u128 bv;
            if (!completeMots(m, d, av, bv)) continue;
            conv(x[k], static_cast<unsigned long>(av));
            if ((bv >> 64) == 0) conv(x[n], static_cast<unsigned long>(bv));
            else versZZ(x[n], bv);
            if (montrer()) {
                finir(k, x[k]);
                return true;
            }
        }
        finir(k, vlast);
        return true;
    }

    // q or the range does not fit machine words: the same with big integers.
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
        if (montrer()) {
            finir(k, x[k]);
            return true;
        }
    }
    finir(k, vlast);
    return true;
}

}  // namespace

int etape()
{
    if (i == n - 1 && n >= 2 && dernierNiveau()) return 1;
    return type == 2 ? suite2() : suite();
}

}  // namespace egypte
