// FLINT's trial division and elliptic-curve method (fmpz_factor_smooth), with
// proofs of primality; never its complete fmpz_factor, whose quadratic sieve
// writes a file named after the process in the current directory and has no
// bound on its time. GMP-ECM was measured too: no faster on these sizes once
// a factor passes 40 bits, and it proves nothing prime.
#include "search/grands_facteurs.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <mutex>

// FLINT after NTL: its headers define macros (ulong, slong) that NTL's must
// not see.
#include <flint/fmpz.h>
#include <flint/fmpz_factor.h>

namespace egypte {

using NTL::ZZ;

namespace {

// Beyond this size only the small primes are divided out first: the proof
// that a 512-bit cofactor is prime takes about 0.15 s, and one of 768 bits
// 0.5 s, during which Ctrl-C is not looked at.
constexpr long BITS_MAX = 512;
// Every factor of up to about this many bits is found (ECM), and a cofactor
// of at most BITS_SECOND bits left composite then has its factors of up to
// about half its size looked for: 10 ms for two primes of 40 bits, 0.1 to
// 0.25 s for two of 50 (measured on this machine).
constexpr long BITS_PREMIER = 32;
constexpr long BITS_SECOND = 100;
// Primes tried by trial division before a number beyond BITS_MAX (FLINT's
// largest table: the primes below 2^15).
constexpr long PREMIERS_ESSAIS = 3512;

class Entier {
public:
    Entier() { fmpz_init(v_); }
    ~Entier() { fmpz_clear(v_); }
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

// The factors of c (> 1) found within the effort, each raised to `fois` times
// its exponent, appended to f. False when a composite cofactor is left.
bool lisser(const fmpz* c, ulong fois, std::vector<PuissanceZ>& f)
{
    Factorisation a;
    if (fmpz_factor_smooth(*a, c, BITS_PREMIER, 1)) {
        for (slong j = 0; j < a->num; j++) ajouter(f, a->p + j, fois * a->exp[j]);
        return true;
    }
    // a->p[num - 1] is the composite cofactor.
    const slong der = a->num - 1;
    for (slong j = 0; j < der; j++) ajouter(f, a->p + j, fois * a->exp[j]);
    const fmpz* reste = a->p + der;
    const long bits = static_cast<long>(fmpz_bits(reste));
    if (bits > BITS_SECOND) return false;
    Factorisation b;
    if (!fmpz_factor_smooth(*b, reste, bits / 2 + 2, 1)) return false;
    for (slong j = 0; j < b->num; j++) ajouter(f, b->p + j, fois * a->exp[der] * b->exp[j]);
    return true;
}

bool calculer(const ZZ& v, std::vector<PuissanceZ>& f)
{
    Entier n;
    versFmpz(*n, v);
    if (fmpz_bits(*n) <= BITS_MAX) {
        if (!fmpz_is_one(*n) && !lisser(*n, 1, f)) return false;
    } else {
        Factorisation a;
        if (!fmpz_factor_trial(*a, *n, PREMIERS_ESSAIS)) {
            // The last entry is the cofactor left by trial division.
            const slong der = a->num - 1;
            if (static_cast<long>(fmpz_bits(a->p + der)) > BITS_MAX) return false;
            for (slong j = 0; j < der; j++) ajouter(f, a->p + j, a->exp[j]);
            if (!lisser(a->p + der, a->exp[der], f)) return false;
        } else {
            for (slong j = 0; j < a->num; j++) ajouter(f, a->p + j, a->exp[j]);
        }
    }
    // Increasing, as the machine-word factorisation gives them (each round
    // divides its primes out whole, so no prime comes twice; merged all the
    // same), then the product checked against v.
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
    const std::lock_guard<std::mutex> garde(verrou);
    if (memoire.size() >= MEMOIRE_MAX) memoire.clear();
    memoire.emplace(v, std::move(m));
    return complete;
}

}  // namespace egypte
