// The fast way to "p/q has an expansion of at most K unit fractions".
//
// 1. Sums of divisors. p/q = (p m/g) / (q' m) with g = gcd(q, m), q' = q/g,
// for a multiplier m. Split p m/g = q' A + B with A and B sums of distinct
// divisors of m: then
//     p/q = sum over the divisors a of A of 1/(m/a)
//         + sum over the divisors b of B of 1/(q' m/b),
// all different as long as q' does not divide m (a collision 1/(m/a) =
// 1/(q' m/b) needs b = q' a); the exact check refuses any that slip
// through. A table c[v], the fewest distinct divisors of m that sum to v for
// every v up to sigma(m), built once per process by a 0/1 knapsack, turns
// the question into a walk over the splittings B = r, r + q', r + 2q', ...
// (r = p m/g mod q', A = (p m/g - B)/q') that stops at the first with
// c[A] + c[B] <= K: two table reads each; the divisors themselves are then
// found by a short depth-first search that the table guides.
//
// That walk has about sigma(m)/q' splittings: plenty at composite q, few at
// a prime q near 1e5 and beyond, where the fractions near 1 (whose A, near
// m, needs many divisors) are left. Two more ways take what it leaves:
//
// 2. Any two unit fractions for the part over q'm. For the splittings where
// c[A] <= K - 2, B/(q'm) = w/n in lowest terms is written 1/y + 1/z with
// any y, z (not only the q'm/b): y = aY, z = aZ with Y, Z coprime, YZ | n
// and w | Y + Z, so the divisors of q'm (those of q' times those of m, for
// q' prime to m) give every such pair in a few steps (deuxTermes).
//
// 3. A search in depth (Profondeur), for exactly K - 1 then K terms, in
// machine integers: x increasing from the smallest each level allows (the
// greedy side, where the remainders' numerators shrink), each level trying
// its first 2, 4, 7, 11, ... values in turn (so that a bad first choice
// does not eat the budget), the last two terms by the pairs of 2 over the
// factors of the remainder's denominator, which the search carries along
// (q's primes, and each x's by trial division below 1000, a cofactor above
// kept whole: fewer pairs, never a wrong one). A budget of steps bounds it.
//
// Every expansion is checked exactly (developpementValide) before it is
// handed over; what is still left goes to longueurMinimale (decider).
//
// Even unknowns are the odd-or-even search of 2p/q doubled; odd unknowns
// take odd multipliers (q' m/b and m/a are then odd for q odd), and not the
// search in depth.
//
// The multipliers: 2^4 3^2 5 7 times each pair of 11, 13, 17, 19. The former
// ones, 720720 and its multiples 1441440, 2162160, 3603600, put their sums
// on nested grids, and 3603600's table (16.8 MB) took 1.13 s to build alone
// (720720's 0.11 s, 1627920's 0.19 s: user time of egypte_au_plus 997 997
// --rapide --multiplicateurs M, which builds one table). At q = 300007, the
// fractions left by the sums of divisors alone (egypte_au_plus 300007 300007
// --rapide --sans-paires --profondeur 0 --multiplicateurs ...): 720720
// alone 45168 (15 %), with 1627920 18178 (6.1 %), the former four 7255
// (2.4 %), 720720, 1627920, 942480, 1113840, 1053360, 1244880 4144 (1.4 %).
// The pairs bring the former four's 7255 down to 4224. The search in depth
// on the 916 fractions that the sums and the pairs of eight multipliers
// left there: a budget of 2000 steps finds 503, 20000 844, 100000 912
// (0.17 ms each), 300000 all 916 (0.24 ms each). With the defaults (six
// multipliers, pairs, 300000 steps) 2 fractions of 300006 are left to the
// exact search at q = 300007.
//
// Measured on this machine (2 cores shared with other builds: user times,
// one thread), bash bench/frontiere.sh, each decider on every p/q of the
// same q in one run, the tables already built; "balayer" is the user time
// of egypte --balayer Q..Q --au-plus 8 --fils 1, the tables' building
// included; at the large prime q the former decider is timed on a sample of
// the numerators and scaled (~):
//
//   q          balayer   decision   left to the exact      former decider   ratio
//   100000 c    0.14 s     0.04 s   0                        0.03 s, 0        1
//   99991 p     1.01 s     0.13 s   0                        1.16 s, 193 (1.9e-3, 5.4 ms each)   9
//   200000 c    0.19 s     0.08 s   0                        0.08 s, 0        1
//   200003 p    1.22 s     0.45 s   0                       ~30 s, ~2000 (1.0e-2, 15 ms each) ~67
//   500000 c    0.24 s     0.22 s   0                        0.16 s, 0        1
//   499979 p    7.80 s    12.6 s    39 (7.8e-5, 102 ms each) ~576 s, ~25000 (5e-2, 23 ms each) ~46
//   1000000 c   0.80 s     0.33 s   0                        0.41 s, 0        1
//   999983 p    160 s      286 s    2122 (2.1e-3, 103 ms each) ~8900 s, ~128000 (0.13, 70 ms each) ~31
//
// At q = 300007 (prime): egypte --balayer 300007..300007 --au-plus 8 --fils 1
// took 1.90, 2.42 and 2.32 s of user time in three runs (the tables about
// 0.7 s of it); egypte_au_plus 300007 300007: the decision 1.31 s, 2 left
// to the exact search (22.6 ms each); with --ancienne --pas 10: 14.5 s for
// a tenth of the numerators (so ~145 s), 2.35e-2 left, 20.4 ms each. Beyond
// 5e5 the search in depth spends its whole budget on more and more
// fractions, and what it leaves costs the exact search 0.1 s each: at 1e6
// the decider is not fast yet. The tables' building looks at the stop:
// SIGINT 0.1, 0.3, 0.6 s into egypte --balayer 99991..99991 --au-plus 8
// --fils 1, the exit 0.03-0.05 s later (the former code, built from the
// previous commit, in the same runs: 2.2-5.0 s).
#include "balayage/au_plus.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>

#include "egypte/balayage.h"
#include "commun/avancement.h"
#include "marche/probleme.h"

namespace egypte {

namespace {

using u128 = unsigned __int128;

// Counts above this read as "more than any K asked": a byte per value.
constexpr std::uint8_t PLAFOND = 100;
// The largest table built: sigma(m) bytes.
constexpr std::uint64_t SIGMA_MAX = std::uint64_t(1) << 27;

struct Table {
    std::uint64_t m = 0;
    std::vector<std::uint64_t> d;      // the divisors of m, increasing
    std::vector<std::uint64_t> cumul;  // cumul[i]: d[0] + ... + d[i - 1]
    std::uint64_t sigma = 0;
    std::vector<std::uint8_t> c;       // c[v]: the fewest distinct divisors summing to v (PLAFOND: none)
};

std::vector<std::uint64_t> diviseurs(std::uint64_t m)
{
    std::vector<std::uint64_t> d{1};
    for (std::uint64_t p = 2; m > 1; p++) {
        if (p * p > m) p = m;
        if (m % p) continue;
        const std::size_t avant = d.size();
        std::uint64_t pk = 1;
        while (m % p == 0) {
            m /= p;
            pk *= p;
            for (std::size_t i = 0; i < avant; i++) d.push_back(d[i] * pk);
        }
    }
    std::sort(d.begin(), d.end());
    return d;
}

// dst[i] = min(dst[i], src[i] + 1): the two ranges never overlap, so that the
// compiler makes it one vector instruction per 16 or 32 values.
void relaxer(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, std::size_t w)
{
    for (std::size_t i = 0; i < w; i++) {
        const std::uint8_t v = static_cast<std::uint8_t>(src[i] + 1);
        dst[i] = dst[i] < v ? dst[i] : v;
    }
}

// The table of m, or nullptr when the stop (Ctrl-C, or the search's own)
// came first: it is looked at before each divisor's pass over the table (a
// few milliseconds), and what was half built is dropped, never kept.
std::unique_ptr<Table> construire(std::uint64_t m)
{
    auto t = std::make_unique<Table>();
    t->m = m;
    t->d = diviseurs(m);
    t->cumul.assign(t->d.size() + 1, 0);
    for (std::size_t i = 0; i < t->d.size(); i++) t->cumul[i + 1] = t->cumul[i] + t->d[i];
    t->sigma = t->cumul.back();
    if (t->sigma > SIGMA_MAX) throw Erreur(Erreur::Genre::probleme, "multiplicateur trop grand");
    t->c.assign(t->sigma + 1, PLAFOND);
    t->c[0] = 0;
    std::uint8_t* c = t->c.data();
    // 0/1 knapsack: each divisor once, the values from the top down so that
    // c[v - d] is still the count without d. Blocks of at most d values read
    // only below themselves, what this divisor has not touched yet.
    for (const std::uint64_t d : t->d) {
        if (arrete()) return nullptr;
        std::uint64_t haut = t->sigma + 1;
        while (haut > d) {
            const std::uint64_t bas = haut - std::min(d, haut - d);
            relaxer(c + bas, c + bas - d, haut - bas);
            haut = bas;
        }
    }
    for (auto& v : t->c) v = std::min(v, PLAFOND);
    return t;
}

// The table of m, built once per process; nullptr when the stop cut its
// building (a later call builds it again).
const Table* table(std::uint64_t m)
{
    static std::mutex verrou;
    static std::map<std::uint64_t, std::unique_ptr<Table>> tables;
    std::lock_guard<std::mutex> l(verrou);
    auto& t = tables[m];
    if (!t) t = construire(m);
    return t.get();
}

// At most k distinct divisors of t, each of index below `haut`, that sum to
// v, appended to `out`; the table's count of what is left prunes (it counts
// over every divisor, so it never overestimates), and so does the sum of
// every divisor still allowed. `pas` bounds the steps.
bool composer(const Table& t, std::uint64_t v, int k, std::size_t haut, std::vector<std::uint64_t>& out, long& pas)
{
    if (v == 0) return true;
    if (k == 0 || --pas < 0) return false;
    std::size_t i = std::min<std::size_t>(haut, std::upper_bound(t.d.begin(), t.d.end(), v) - t.d.begin());
    while (i-- > 0) {
        if (t.cumul[i + 1] < v) return false;
        const std::uint64_t reste = v - t.d[i];
        if (t.c[reste] > k - 1) continue;
        out.push_back(t.d[i]);
        if (composer(t, reste, k - 1, i, out, pas)) return true;
        out.pop_back();
        if (pas < 0) return false;
    }
    return false;
}

bool produit(u128 a, u128 b, u128& r) { return !__builtin_mul_overflow(a, b, &r); }

// Every way of writing w/n (gcd(w, n) = 1) as 1/y + 1/z with y < z, handed
// to `essayer` until it says yes; dv: the divisors, increasing, of a multiple
// of n. With a = gcd(y, z), y = aY and z = aZ: w/n = (Y + Z)/(aYZ) with Y, Z
// coprime, so YZ divides n and, as w is prime to n, w divides Y + Z; then
// a = (n/YZ)(Y + Z)/w. So Z runs over the divisors of n above w/2 (Y < Z and
// Y + Z >= w), and Y over the divisors of n/Z that are -Z mod w: either
// stepping by w when that is short, or over the divisors.
template <class F>
bool deuxTermes(const std::vector<std::uint64_t>& dv, std::uint64_t w, std::uint64_t n, F&& essayer)
{
    for (auto it = std::upper_bound(dv.begin(), dv.end(), n); it != dv.begin();) {
        const std::uint64_t Z = *--it;
        if (2 * Z <= w) break;
        if (n % Z) continue;
        const std::uint64_t R = n / Z, ymax = std::min(Z - 1, R);
        if (ymax == 0) continue;
        auto paire = [&](std::uint64_t Y) {
            if (R % Y || std::gcd(Y, Z) != 1) return false;
            const u128 a = static_cast<u128>(n / (Y * Z)) * ((Y + Z) / w);
            return essayer(a * Y, a * Z);
        };
        const std::uint64_t y0 = Z % w == 0 ? w : w - Z % w;
        if (y0 > ymax) continue;
        if ((ymax - y0) / w < 32) {
            for (std::uint64_t Y = y0; Y <= ymax; Y += w)
                if (paire(Y)) return true;
        } else {
            for (const std::uint64_t Y : dv) {
                if (Y > ymax) break;
                if ((Y + Z) % w == 0 && paire(Y)) return true;
            }
        }
    }
    return false;
}

u128 pgcd(u128 a, std::uint64_t b)
{
    return b == 0 ? a : std::gcd(static_cast<std::uint64_t>(a % b), b);
}

// The sum of 1/x is p/q, in NTL's ZZ: the slow check, when 128 bits overflow.
bool sommeExacteZZ(std::int64_t p, std::int64_t q, const std::vector<std::uint64_t>& x)
{
    NTL::ZZ n(0), d(1), xi, g;
    for (const std::uint64_t v : x) {
        conv(xi, static_cast<unsigned long>(v));
        n = n * xi + d;
        d *= xi;
        GCD(g, n, d);
        n /= g;
        d /= g;
    }
    return n * q == d * p;
}

// The sum of 1/x is p/q: over L = lcm(x), sum of L/x times q equals p times L.
bool sommeExacte(std::int64_t p, std::int64_t q, const std::vector<std::uint64_t>& x)
{
    u128 L = 1;
    for (const std::uint64_t v : x) {
        const u128 g = pgcd(L, v);
        if (!produit(L / g, v, L)) return sommeExacteZZ(p, q, x);
    }
    u128 S = 0;
    for (const std::uint64_t v : x) {
        const u128 t = L / v;
        if (S + t < S) return sommeExacteZZ(p, q, x);
        S += t;
    }
    u128 gauche, droite;
    if (!produit(S, static_cast<u128>(q), gauche) || !produit(L, static_cast<u128>(p), droite))
        return sommeExacteZZ(p, q, x);
    return gauche == droite;
}

// A prime factor of a denominator and its exponent.
struct Facteur {
    std::uint64_t p;
    int e;
};

// The factors of x by trial division up to `jusqua`, appended to f; what is
// left above is kept as one factor, prime or not: the splittings built on
// these factors are then fewer, never wrong.
void factoriser(std::uint64_t x, std::vector<Facteur>& f, std::uint64_t jusqua = std::uint64_t(1) << 32)
{
    for (std::uint64_t p = 2; p * p <= x && p <= jusqua; p += p == 2 ? 1 : 2) {
        if (x % p) continue;
        int e = 0;
        while (x % p == 0) {
            x /= p;
            e++;
        }
        f.push_back({p, e});
    }
    if (x > 1) f.push_back({x, 1});
}

// The factors of v among the primes of `candidats` (v has no other prime).
void exposants(u128 v, const std::vector<Facteur>& candidats, std::vector<Facteur>& f)
{
    f.clear();
    for (const Facteur& c : candidats) {
        if (v % c.p) continue;
        bool deja = false;
        for (const Facteur& g : f) deja = deja || g.p == c.p;
        if (deja) continue;
        int e = 0;
        while (v % c.p == 0) {
            v /= c.p;
            e++;
        }
        f.push_back({c.p, e});
    }
}

constexpr u128 U128_LIMITE = static_cast<u128>(1) << 100;

// A depth-first search for an expansion of n/d in exactly k unit fractions,
// x increasing from the smallest each level allows (the greedy side, where
// the remainders' numerators shrink), in machine integers. The last two
// terms come from the factors of the remainder's denominator D, which the
// search carries along: 1/y + 1/z = w/D with y = aY, z = aZ, Y and Z coprime,
// YZ dividing D and w dividing Y + Z. Every step spends the budget; an
// expansion is handed to `accepter` (the exact check), the search goes on
// when it refuses.
class Profondeur {
public:
    Profondeur(bool distinctes, std::uint64_t plafond, long budget,
               const std::function<bool(const std::vector<std::uint64_t>&)>& accepter)
        : distinctes_(distinctes), plafond_(plafond), budget_(budget), accepter_(accepter)
    {
    }

    bool chercher(u128 n, u128 d, const std::vector<Facteur>& fd, int k, u128 lo)
    {
        if (--budget_ < 0 || arrete()) return false;
        if (k == 2) return deux(n, d, fd, lo);
        u128 x = d / n + 1;
        if (x < lo) x = lo;
        const u128 fin = static_cast<u128>(k) * d / n;
        std::vector<Facteur> fx, tous, fr;
        const u128 dernier = x + largeur_ - 1 < fin ? x + largeur_ - 1 : fin;
        for (; x <= dernier && budget_ >= 0; x++) {
            if (x > plafond_) return false;
            u128 dx;
            if (!produit(d, x, dx) || dx > U128_LIMITE) return false;
            const u128 nx = n * x - d;
            if (nx == 0) continue;  // 1/x would be the whole rest: k - 1 terms missing
            u128 a = nx, b = dx;
            while (b) {
                const u128 t = a % b;
                a = b;
                b = t;
            }
            fx.clear();
            factoriser(static_cast<std::uint64_t>(x), fx, 1000);
            tous = fd;
            tous.insert(tous.end(), fx.begin(), fx.end());
            exposants(dx / a, tous, fr);
            x_.push_back(static_cast<std::uint64_t>(x));
            if (chercher(nx / a, dx / a, fr, k - 1, distinctes_ ? x + 1 : x)) return true;
            x_.pop_back();
        }
        return false;
    }

    const std::vector<std::uint64_t>& x() const { return x_; }
    // The values of x each level tries, from its smallest.
    void largeur(long l) { largeur_ = l; }
    bool epuise() const { return budget_ < 0; }

private:
    // The coprime Y < Z whose product divides D, prime power by prime power.
    bool deux(u128 w, u128 D, const std::vector<Facteur>& fd, u128 lo)
    {
        // w/D = 2/a with y = z = a, when equal unknowns are allowed.
        if (!distinctes_ && (2 * D) % w == 0 && 2 * D / w >= lo && 2 * D / w <= plafond_) {
            x_.push_back(static_cast<std::uint64_t>(2 * D / w));
            x_.push_back(x_.back());
            if (accepter_(x_)) return true;
            x_.resize(x_.size() - 2);
        }
        return paires(w, D, fd, 0, 1, 1, lo);
    }

    bool paires(u128 w, u128 D, const std::vector<Facteur>& fd, std::size_t i, u128 Y, u128 Z, u128 lo)
    {
        if (i == fd.size()) {
            if (--budget_ < 0) return false;
            if (Y >= Z || (Y + Z) % w) return false;
            const u128 a = D / (Y * Z) * ((Y + Z) / w);
            u128 y, z;
            if (!produit(a, Y, y) || !produit(a, Z, z) || y < lo || z > plafond_) return false;
            x_.push_back(static_cast<std::uint64_t>(y));
            x_.push_back(static_cast<std::uint64_t>(z));
            if (accepter_(x_)) return true;
            x_.resize(x_.size() - 2);
            return false;
        }
        if (paires(w, D, fd, i + 1, Y, Z, lo)) return true;
        u128 pk = 1;
        for (int e = 1; e <= fd[i].e && budget_ >= 0; e++) {
            pk *= fd[i].p;
            if (paires(w, D, fd, i + 1, Y * pk, Z, lo) || paires(w, D, fd, i + 1, Y, Z * pk, lo)) return true;
        }
        return false;
    }

    bool distinctes_;
    u128 plafond_;
    long budget_;
    long largeur_ = 1L << 40;
    const std::function<bool(const std::vector<std::uint64_t>&)>& accepter_;
    std::vector<std::uint64_t> x_;
};

}  // namespace

ContraintesAuPlus lireContraintes(const Probleme& pb)
{
    ContraintesAuPlus c;
    c.distinctes = pb.inconnues == Inconnues::distinctes;
    c.parite = pb.parite;
    c.sansUn = pb.sansUn;
    const NTL::ZZ max64 = (NTL::ZZ(1) << 64) - 1;
    if (pb.minimumX1 > max64) c.horsDePortee = true;  // beyond every value the fast way gives
    else c.minx = NTL::conv<unsigned long>(pb.minimumX1);
    if (!IsZero(pb.maximumXn) && pb.maximumXn <= max64) c.maxx = NTL::conv<unsigned long>(pb.maximumXn);
    const Longueurs l = longueursPermises(pb);
    c.premiere = l.premiere;
    c.derniere = std::min(l.derniere, LONGUEUR_MAX);
    if (!pb.debut.empty() || l.auDela()) c.horsDePortee = true;
    return c;
}

bool developpementValide(std::int64_t p, std::int64_t q, int K, const ContraintesAuPlus& c,
                         const std::vector<std::uint64_t>& x)
{
    if (p < 1 || q < 1 || c.horsDePortee) return false;
    const long n = static_cast<long>(x.size());
    if (n < 1 || n > K || n < c.premiere || n > c.derniere) return false;
    std::vector<std::uint64_t> t = x;
    std::sort(t.begin(), t.end());
    if (t[0] == 0 || (c.sansUn && t[0] == 1)) return false;
    if (t[0] < c.minx || (c.maxx != 0 && t.back() > c.maxx)) return false;
    for (std::size_t i = 0; i < t.size(); i++) {
        if (c.distinctes && i > 0 && t[i] == t[i - 1]) return false;
        if (c.parite == Parite::impaires && t[i] % 2 == 0) return false;
        if (c.parite == Parite::paires && t[i] % 2 == 1) return false;
    }
    return sommeExacte(p, q, t);
}

namespace {

// 2^4 3^2 5 7 times each pair of 11, 13, 17, 19: their divisors' sums fall
// on different grids, so that what one leaves the next often finds.
const std::vector<std::uint64_t> MULTIPLICATEURS{720720, 1627920, 942480, 1113840, 1053360, 1244880};
// The decider as it was (ReglagesAuPlus::ancienne): nested multiples of 720720.
const std::vector<std::uint64_t> MULTIPLICATEURS_ANCIENS{720720, 1441440, 2162160, 3603600};
const std::vector<std::uint64_t> MULTIPLICATEURS_IMPAIRS{675675, 765765};

}  // namespace

AuPlus::AuPlus(const Probleme& contraintes, std::int64_t q, int K, const ReglagesAuPlus& r)
    : probleme_(contraintes), q_(q), K_(K), candidats_(r.candidats), paires_(r.paires), profondeur_(r.profondeur)
{
    if (q < 1 || K < 1) throw Erreur(Erreur::Genre::probleme, "denominateur ou longueur invalide");
    probleme_.numerateur = 1;
    probleme_.denominateur = q;
    verifier(probleme_);
    c_ = lireContraintes(probleme_);
    const auto& liste = !r.multiplicateurs.empty()       ? r.multiplicateurs
                        : c_.parite == Parite::impaires ? MULTIPLICATEURS_IMPAIRS
                        : r.ancienne                    ? MULTIPLICATEURS_ANCIENS
                                                        : MULTIPLICATEURS;
    if (r.ancienne) {
        paires_ = false;
        profondeur_ = 0;
    }
    for (const std::uint64_t m : liste) {
        if (m < 1 || m > (std::uint64_t(1) << 40)) throw Erreur(Erreur::Genre::probleme, "multiplicateur invalide");
        multiplicateurs_.push_back(m);
    }
    tables_.assign(multiplicateurs_.size(), nullptr);
}

bool AuPlus::trouver(std::int64_t p, std::vector<std::uint64_t>& x)
{
    x.clear();
    if (p < 1 || c_.horsDePortee) return false;
    // Odd unknowns never reach a fraction whose reduced denominator is even.
    if (c_.parite == Parite::impaires && (q_ / std::gcd(p, q_)) % 2 == 0) return false;
    // Even unknowns 2y: the expansions in y of 2p/q.
    const std::uint64_t f = c_.parite == Parite::paires ? 2 : 1;
    const u128 N = static_cast<u128>(p) * f;
    const std::uint64_t q = static_cast<std::uint64_t>(q_);
    for (std::size_t i = 0; i < tables_.size(); i++) {
        if (tables_[i] == nullptr) tables_[i] = table(multiplicateurs_[i]);
        if (tables_[i] == nullptr) return false;  // stopped while it was built
        const Table& t = *static_cast<const Table*>(tables_[i]);
        const std::uint64_t g = std::gcd(q, t.m), qp = q / g, mg = t.m / g;
        // Every denominator, q' m f at most, fits in 63 bits.
        u128 plus;
        if (!produit(static_cast<u128>(qp) * t.m, f, plus) || plus >> 63) continue;
        u128 T;
        if (!produit(N, mg, T)) continue;
        const u128 A0 = T / qp;
        const std::uint64_t r = static_cast<std::uint64_t>(T % qp);
        // A = A0 - j and B = r + j q' both within the table.
        u128 j = A0 > t.sigma ? A0 - t.sigma : 0;
        int essais = candidats_;
        for (; j <= A0 && essais-- > 0; j++) {
            const u128 B = r + j * qp;
            if (B > t.sigma) break;
            const std::uint64_t A = static_cast<std::uint64_t>(A0 - j), b = static_cast<std::uint64_t>(B);
            const int ca = t.c[A], cb = t.c[b];
            if (ca + cb > K_) continue;
            a_.clear();
            b_.clear();
            long pas = 4096;
            if (!composer(t, A, ca, t.d.size(), a_, pas) || !composer(t, b, cb, t.d.size(), b_, pas)) continue;
            x.clear();
            for (const std::uint64_t d : a_) x.push_back(t.m / d * f);
            for (const std::uint64_t d : b_) x.push_back(qp * (t.m / d) * f);
            std::sort(x.begin(), x.end());
            if (developpementValide(p, q_, K_, c_, x)) return true;
        }
    }
    if (paires_ && K_ >= 3) {
        // What the sums of divisors left: the part B/(q' m) as any two unit
        // fractions, found from the divisors of q' m (when q' is prime to m,
        // so that they are the products of those of q' and of m).
        for (std::size_t i = 0; i < tables_.size(); i++) {
            const Table& t = *static_cast<const Table*>(tables_[i]);
            const std::uint64_t g = std::gcd(q, t.m), qp = q / g, mg = t.m / g;
            if (std::gcd(qp, t.m) != 1) continue;
            u128 plus, T;
            if (!produit(static_cast<u128>(qp) * t.m, f, plus) || plus >> 63 || !produit(N, mg, T)) continue;
            const std::uint64_t n0 = qp * t.m;
            if (diviseursQm_.size() <= i) diviseursQm_.resize(i + 1);
            std::vector<std::uint64_t>& dv = diviseursQm_[i];
            if (dv.empty()) {
                for (const std::uint64_t e : diviseurs(qp))
                    for (const std::uint64_t d : t.d) dv.push_back(e * d);
                std::sort(dv.begin(), dv.end());
            }
            const u128 A0 = T / qp;
            const std::uint64_t r = static_cast<std::uint64_t>(T % qp);
            int essais = candidats_;
            for (u128 j = 0; j <= A0 && essais-- > 0; j++) {
                const u128 B = r + j * qp;
                if (B > t.sigma) break;
                const std::uint64_t A = static_cast<std::uint64_t>(A0 - j), b = static_cast<std::uint64_t>(B);
                if (b == 0 || A > t.sigma) continue;
                const int ca = t.c[A];
                if (ca > K_ - 2) continue;
                a_.clear();
                long pas = 4096;
                if (!composer(t, A, ca, t.d.size(), a_, pas)) continue;
                const std::uint64_t gb = std::gcd(b, n0);
                auto essayer = [&](u128 y, u128 z) {
                    u128 xz;
                    if (!produit(z, f, xz) || xz >> 63) return false;
                    x.clear();
                    for (const std::uint64_t d : a_) x.push_back(t.m / d * f);
                    x.push_back(static_cast<std::uint64_t>(y * f));
                    x.push_back(static_cast<std::uint64_t>(xz));
                    std::sort(x.begin(), x.end());
                    return developpementValide(p, q_, K_, c_, x);
                };
                if (deuxTermes(dv, b / gb, n0 / gb, essayer)) return true;
            }
        }
    }
    if (profondeur_ > 0 && c_.parite != Parite::impaires && q_ < (std::int64_t(1) << 40)) {
        // What is still left: a search in depth, the lengths K - 1 and K.
        if (facteursQ_.empty()) {
            std::vector<Facteur> fq;
            factoriser(q, fq);
            fq.push_back({2, 1});
            for (const Facteur& v : fq) facteursQ_.push_back(v.p);
        }
        std::vector<Facteur> candidats, fd;
        for (const std::uint64_t v : facteursQ_) candidats.push_back({v, 1});
        const std::uint64_t g = std::gcd(static_cast<std::uint64_t>(N % q), q);
        const u128 n = N / g, d = q / g;
        exposants(d, candidats, fd);
        const std::function<bool(const std::vector<std::uint64_t>&)> accepter =
            [&](const std::vector<std::uint64_t>& y) {
                x.clear();
                for (const std::uint64_t v : y) x.push_back(v * f);
                std::sort(x.begin(), x.end());
                return developpementValide(p, q_, K_, c_, x);
            };
        const u128 lo = c_.minx > 0 ? (c_.minx + f - 1) / f : 1;
        for (int k = std::max<long>(3, std::max<long>(c_.premiere, K_ - 1)); k <= std::min<long>(K_, c_.derniere); k++) {
            Profondeur r(c_.distinctes, (std::numeric_limits<std::uint64_t>::max() >> 1) / f, profondeur_, accepter);
            for (long l = 2; l < 1000 && !r.epuise(); l = l * 3 / 2 + 1) {
                r.largeur(l);
                if (r.chercher(n, d, fd, k, lo)) return true;
            }
        }
    }
    x.clear();
    return false;
}

DecisionAuPlus decider(AuPlus& a, std::int64_t p)
{
    DecisionAuPlus d;
    if (a.trouver(p, d.x)) {
        d.auPlus = true;
        d.longueur = static_cast<int>(d.x.size());
        return d;
    }
    if (arrete()) {
        // The stop cut the fast way: nothing is decided, and the exact
        // search is not called.
        d.exacte = LongueurMinimale{LongueurMinimale::Issue::interrompue, 0};
        return d;
    }
    d.exacte = longueurMinimale(a.contraintes(), NTL::ZZ(p), NTL::ZZ(a.q()));
    d.longueur = d.exacte->n;
    d.auPlus = d.exacte->trouvee() && d.longueur <= a.K();
    return d;
}

}  // namespace egypte
