// FLINT's trial division and elliptic curves (fmpz_factor_smooth) first:
// they take most numbers apart in a few milliseconds, but their curves are
// few and drawn the same way each time, so a number they leave composite is
// left so for good: 4 in 200 products of four primes of 32 bits, 23 in 100
// of four primes of 30 bits and two of 45, 4 in 100 products of two primes
// of 50 bits (measured with the effort this file used to stop at). What
// they leave composite is split here until only primes are left: by Brent's
// rho beyond 100 bits, whose steps reach every prime below 2^32, and by a
// quadratic sieve of our own up to 100 bits (facteurs/crible.h). Never FLINT's
// complete fmpz_factor: its quadratic sieve writes its relations to a file
// named after a number in the current directory (FLINT 2.9 still does) and
// has no bound on its time. GMP-ECM was measured too: no faster on these
// sizes once a factor passes 40 bits, and it proves nothing prime.
#include "facteurs/grands_facteurs.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <mutex>
#include <utility>

#include "commun/avancement.h"
#include "facteurs/crible.h"
#include "facteurs/facteurs.h"

// FLINT after NTL: its headers define macros (ulong, slong) that NTL's must
// not see.
#include <flint/fmpz.h>
#include <flint/fmpz_factor.h>
#include <gmp.h>

namespace egypte {

using NTL::ZZ;

namespace {

// Beyond this size only the small primes are divided out first: the proof
// that a 512-bit cofactor is prime takes about 0.13 s, and one of 768 bits
// 0.5 s, during which Ctrl-C is not looked at.
constexpr long BITS_MAX = 512;
// FLINT's first pass looks for the factors of up to about this many bits.
constexpr long BITS_PREMIER = 32;
// A composite of at most this many bits is split by the sieve: two primes of
// 50 bits in 3 ms on average, 7 ms at most in 300 (measured on this machine).
constexpr long BITS_SECOND = CRIBLE_BITS_MAX;
// Brent's rho on a composite beyond BITS_SECOND stops after this many steps
// (its rounds up to r = 2^18, each of r steps and r steps compared). A prime
// p escapes them only if the sequence mod p has a tail or a cycle longer than
// 2^19: the usual estimate of that chance, about exp(-2^38 / p), is 1e-15
// below 2^32. Measured: 127 000 steps on average and 478 000 at most for 2000
// primes of 32 bits; none of 400 primes of 34 bits and 5 of 300 of 36 bits
// beyond the budget. All of it spent, on a number of 512 bits with nothing
// to find: 0.3 s.
constexpr long PAS_RHO = long(1) << 20;
// Steps between two gcds (and two looks at Ctrl-C).
constexpr long LOT = 128;
// Primes tried by trial division before a number beyond BITS_MAX (FLINT's
// largest table: the primes below 2^15).
constexpr long PREMIERS_ESSAIS = 3512;

class Entier {
public:
    Entier() { fmpz_init(v_); }
    explicit Entier(const fmpz* v) { fmpz_init_set(v_, v); }
    ~Entier() { fmpz_clear(v_); }
    Entier(Entier&& o) noexcept
    {
        fmpz_init(v_);
        fmpz_swap(v_, o.v_);
    }
    Entier& operator=(Entier&& o) noexcept
    {
        fmpz_swap(v_, o.v_);
        return *this;
    }
    Entier(const Entier&) = delete;
    Entier& operator=(const Entier&) = delete;
    fmpz* operator*() { return v_; }

private:
    fmpz_t v_;
};

class Factorisation {
public:
    Factorisation() { fmpz_factor_init(f_); }
    ~Factorisation() { fmpz_factor_clear(f_); }
    Factorisation(const Factorisation&) = delete;
    Factorisation& operator=(const Factorisation&) = delete;
    fmpz_factor_struct* operator->() { return f_; }
    fmpz_factor_struct* operator*() { return f_; }

private:
    fmpz_factor_t f_;
};

class Mpz {
public:
    Mpz() { mpz_init(v_); }
    ~Mpz() { mpz_clear(v_); }
    Mpz(const Mpz&) = delete;
    Mpz& operator=(const Mpz&) = delete;
    mpz_ptr operator*() { return v_; }

private:
    mpz_t v_;
};

void versFmpz(fmpz* r, const ZZ& v)
{
    const long octets = NumBytes(v);
    std::vector<ulong> mots(static_cast<std::size_t>((octets + 7) / 8) + 1, 0);
    BytesFromZZ(reinterpret_cast<unsigned char*>(mots.data()), v, octets);
    fmpz_set_ui_array(r, mots.data(), static_cast<slong>(mots.size()));
}

void versZZ(ZZ& r, const fmpz* v)
{
    const slong n = static_cast<slong>(fmpz_size(v));
    std::vector<ulong> mots(static_cast<std::size_t>(n) + 1, 0);
    fmpz_get_ui_array(mots.data(), n + 1, v);
    ZZFromBytes(r, reinterpret_cast<const unsigned char*>(mots.data()), 8 * (n + 1));
}

// Appends p^e to f (p prime, in FLINT's form).
void ajouter(std::vector<PuissanceZ>& f, const fmpz* p, ulong e)
{
    f.emplace_back();
    versZZ(f.back().p, p);
    f.back().e = static_cast<int>(e);
}

// A number still to be taken apart, with the exponent its primes will carry.
struct Morceau {
    Entier v;
    ulong e;
};

// What is left of n once rho has taken a factor out: done with (prime, within
// the sieve's reach, or a perfect power, which the pile takes apart).
bool pourLaPile(fmpz* n)
{
    Entier racine;
    return static_cast<long>(fmpz_bits(n)) <= BITS_SECOND || fmpz_is_probabprime(n) ||
           fmpz_is_perfect_power(*racine, n) != 0;
}

// Brent's rho on n (composite, beyond BITS_SECOND bits, not a perfect
// power), y -> y^2 + c mod n: gcd(n, product of x - y) every LOT steps, x
// kept from the start of each round of r steps. One sequence finds every
// small prime of n, each when its own cycle closes: each factor found goes to
// the pile and the sequence goes on mod what is left, until that is for the
// pile as well. False after PAS_RHO steps (the rest has no prime rho can find
// in that time) or on Ctrl-C.
bool rho(const fmpz* depart, ulong e, std::vector<Morceau>& pile)
{
    Entier reste(depart);
    Mpz n, x, y, ys, q, t, g;
    fmpz_get_mpz(*n, *reste);
    auto suivant = [&](mpz_ptr v, unsigned long c) {
        mpz_mul(*t, v, v);
        mpz_add_ui(*t, *t, c);
        mpz_mod(v, *t, *n);
    };
    auto garder = [&](mpz_srcptr f) {
        Entier facteur;
        fmpz_set_mpz(*facteur, f);
        pile.push_back(Morceau{std::move(facteur), e});
        mpz_divexact(*n, *n, f);
        for (mpz_ptr v : {*x, *y, *ys, *q}) mpz_mod(v, v, *n);
        fmpz_set_mpz(*reste, *n);
    };
    long pas = 0;
    for (unsigned long c = 1;; c++) {
        // A new sequence: only when the last one closed for every prime of n
        // at the same step.
        mpz_set_ui(*y, 2);
        mpz_set_ui(*q, 1);
        bool recommencer = false;
        for (long r = 1; !recommencer; r *= 2) {
            mpz_set(*x, *y);
            if (pas + 2 * r > PAS_RHO + 2) return false;
            for (long i = 0; i < r; i++) suivant(*y, c);
            pas += r;
            for (long k = 0; k < r && !recommencer; k += LOT) {
                if (arrete()) return false;
                mpz_set(*ys, *y);
                const long lot = std::min(LOT, r - k);
                for (long i = 0; i < lot; i++) {
                    suivant(*y, c);
                    mpz_sub(*t, *x, *y);
                    mpz_mul(*t, *t, *q);
                    mpz_mod(*q, *t, *n);
                }
                pas += lot;
                mpz_gcd(*g, *q, *n);
                if (mpz_cmp_ui(*g, 1) == 0) continue;
                if (mpz_cmp(*g, *n) == 0) {
                    // Several primes closed in this lot: step through it again
                    // one gcd at a time.
                    for (long i = 0; i < lot; i++) {
                        suivant(*ys, c);
                        mpz_sub(*t, *x, *ys);
                        mpz_gcd(*g, *t, *n);
                        if (mpz_cmp_ui(*g, 1) != 0) break;
                    }
                    if (mpz_cmp_ui(*g, 1) == 0 || mpz_cmp(*g, *n) == 0) {
                        recommencer = true;
                        break;
                    }
                }
                garder(*g);
                if (pourLaPile(*reste)) {
                    pile.push_back(Morceau{std::move(reste), e});
                    return true;
                }
            }
        }
    }
}

// Takes the numbers of the pile apart into f: a word by the machine-word
// factorisation, a probable prime proved, a perfect power by its root, a
// composite of at most BITS_SECOND bits by the sieve, a larger one by rho.
// False when a composite resists (or on Ctrl-C).
bool achever(std::vector<Morceau>& pile, std::vector<PuissanceZ>& f)
{
    while (!pile.empty()) {
        Morceau m = std::move(pile.back());
        pile.pop_back();
        fmpz* v = *m.v;
        if (fmpz_is_one(v)) continue;
        const long bits = static_cast<long>(fmpz_bits(v));
        if (bits <= 64) {
            Puissance tab[16];
            const int k = factoriser64(fmpz_get_ui(v), tab);
            Entier p;
            for (int a = 0; a < k; a++) {
                fmpz_set_ui(*p, tab[a].p);
                ajouter(f, *p, m.e * static_cast<ulong>(tab[a].e));
            }
            continue;
        }
        if (fmpz_is_probabprime(v)) {
            if (fmpz_is_prime(v) != 1) return false;
            ajouter(f, v, m.e);
            continue;
        }
        Entier racine;
        if (const int k = fmpz_is_perfect_power(*racine, v); k > 1) {
            pile.push_back(Morceau{std::move(racine), m.e * static_cast<ulong>(k)});
            continue;
        }
        if (bits > BITS_SECOND) {
            if (!rho(v, m.e, pile)) return false;
            continue;
        }
        ulong mots[2] = {0, 0};
        fmpz_get_ui_array(mots, 2, v);
        const u128 n = (static_cast<u128>(mots[1]) << 64) | mots[0];
        // 0: stopped or given up. A factor outside (1, n) would come back to
        // the pile for ever: refused as well.
        const u128 d = crible(n);
        if (d <= 1 || d >= n) return false;
        Entier a, b;
        fmpz_set_uiui(*a, static_cast<ulong>(d >> 64), static_cast<ulong>(d));
        fmpz_divexact(*b, v, *a);
        pile.push_back(Morceau{std::move(a), m.e});
        pile.push_back(Morceau{std::move(b), m.e});
    }
    return true;
}

bool calculer(const ZZ& v, std::vector<PuissanceZ>& f)
{
    Entier n;
    versFmpz(*n, v);
    std::vector<Morceau> pile;
    Factorisation a;
    if (fmpz_bits(*n) <= BITS_MAX) {
        // Probable primes here: the pile proves each one once.
        fmpz_factor_smooth(*a, *n, BITS_PREMIER, 0);
    } else if (!fmpz_factor_trial(*a, *n, PREMIERS_ESSAIS)) {
        // The last entry is the cofactor left by trial division.
        if (static_cast<long>(fmpz_bits(a->p + a->num - 1)) > BITS_MAX) return false;
    }
    for (slong j = 0; j < a->num; j++) pile.push_back(Morceau{Entier(a->p + j), a->exp[j]});
    if (!achever(pile, f)) return false;
    // Increasing, as the machine-word factorisation gives them, the same
    // prime found twice (a power split by rho or the sieve) merged; then the
    // product checked against v.
    std::sort(f.begin(), f.end(), [](const PuissanceZ& a, const PuissanceZ& b) { return a.p < b.p; });
    std::size_t w = 0;
    for (std::size_t j = 0; j < f.size(); j++) {
        if (w > 0 && f[w - 1].p == f[j].p) f[w - 1].e += f[j].e;
        else if (w != j) f[w++] = f[j];
        else w++;
    }
    f.resize(w);
    ZZ produit(1);
    for (const PuissanceZ& t : f) produit *= power(t.p, t.e);
    return produit == v;
}

struct Memoire {
    bool complete = false;
    std::vector<PuissanceZ> f;
};

struct Ordre {
    bool operator()(const ZZ& a, const ZZ& b) const { return a < b; }
};

// Bounded: cleared whole when full (a walk meets the same few numbers again
// and again, and a new one at most once per placed unknown).
constexpr std::size_t MEMOIRE_MAX = 4096;
std::mutex verrou;
std::map<ZZ, Memoire, Ordre> memoire;

}  // namespace

bool factoriserGrand(const ZZ& v, std::vector<PuissanceZ>& f)
{
    f.clear();
    if (v < 1) return false;
    {
        const std::lock_guard<std::mutex> garde(verrou);
        const auto it = memoire.find(v);
        if (it != memoire.end()) {
            if (it->second.complete) f = it->second.f;
            return it->second.complete;
        }
    }
    // Outside the lock: two threads may factor the same number at once, which
    // costs only time.
    Memoire m;
    m.complete = calculer(v, m.f);
    if (!m.complete) m.f.clear();
    f = m.f;
    const bool complete = m.complete;
    // Stopped by Ctrl-C: not the number's answer, so not kept for the next
    // search of the process.
    if (!complete && arrete()) return false;
    const std::lock_guard<std::mutex> garde(verrou);
    if (memoire.size() >= MEMOIRE_MAX) memoire.clear();
    memoire.emplace(v, std::move(m));
    return complete;
}

}  // namespace egypte
