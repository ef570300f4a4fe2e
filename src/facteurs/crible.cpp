// The quadratic sieve with several polynomials: Q(x) = ((Ax + B)^2 - n)/A for
// A = q^2, q a prime with n a square mod q, sieved over x in [-M, M); the
// values made of the primes of the base (or of those and one larger prime,
// paired with another value that has the same one) are relations, and a set
// of relations whose exponents are all even gives X^2 = Y^2 mod n, so
// gcd(X - Y, n) splits n half of the time. For n of 100 bits, A is below
// 2^36, B^2 below 2^72 and |Q(x)| below 2^65: all in 128-bit words.
#include "facteurs/crible.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <unordered_map>
#include <utility>
#include <vector>

#include "commun/avancement.h"

namespace egypte {

namespace {

using i128 = __int128;
using i64 = std::int64_t;
using u32 = std::uint32_t;

struct Reglage {
    int bits;      // for n of at most this many bits
    int premiers;  // primes in the base (2 and the odd primes p with n a square mod p)
    int demi;      // M, half the width of the sieved interval
    int marge;     // a place is tried when the logs of its primes reach log2 |Q| less this
};

constexpr Reglage REGLAGES[] = {
    {60, 40, 1 << 12, 14},   {70, 60, 1 << 13, 16},   {80, 90, 1 << 14, 18},
    {90, 130, 1 << 15, 20},  {CRIBLE_BITS_MAX, 180, 1 << 15, 22},
};

// Beyond this many polynomials the sieve gives up (about 0.2 s on 100 bits):
// two primes of 50 bits took 36 on average and 136 at most in 200 numbers,
// two of 32 bits 5 and 33.
constexpr long POLYNOMES_MAX = 2000;
// Each elimination has at least 16 squares, each of which splits n half of
// the time: a fourth one is already a sign that something is wrong, and each
// costs more than the last (its relations grow).
constexpr int ELIMINATIONS_MAX = 4;
// The primes below this are not sieved (they hit most places and weigh
// little); the margin above makes up for them.
constexpr u32 PETIT = 7;
// A value left with one prime beyond the base but below this many times its
// largest prime is kept, to be paired.
constexpr u64 FOIS_GRAND = 64;

// m < 2^32.
u64 puissance(u64 b, u64 e, u64 m)
{
    u64 r = 1;
    b %= m;
    for (; e > 0; e >>= 1, b = b * b % m)
        if (e & 1) r = r * b % m;
    return r;
}

// A square root of a mod p (p an odd prime below 2^32, a a square mod p):
// Tonelli and Shanks.
u64 racine(u64 a, u64 p)
{
    a %= p;
    if (a == 0) return 0;
    if (p % 4 == 3) return puissance(a, (p + 1) / 4, p);
    u64 q = p - 1, s = 0;
    for (; q % 2 == 0; q /= 2) s++;
    u64 z = 2;
    while (puissance(z, (p - 1) / 2, p) != p - 1) z++;
    u64 m = s, c = puissance(z, q, p), t = puissance(a, q, p), r = puissance(a, (q + 1) / 2, p);
    while (t != 1) {
        u64 i = 0;
        for (u64 t2 = t; t2 != 1; t2 = t2 * t2 % p) i++;
        u64 b = c;
        for (u64 j = 0; j + 1 < m - i; j++) b = b * b % p;
        m = i;
        c = b * b % p;
        t = t * c % p;
        r = r * b % p;
    }
    return r;
}

// The inverse of a mod m (a prime to m, m < 2^32).
u64 inverse(u64 a, u64 m)
{
    i64 r0 = static_cast<i64>(m), r1 = static_cast<i64>(a % m), s0 = 0, s1 = 1;
    while (r1 != 0) {
        const i64 k = r0 / r1;
        std::swap(r0, r1);
        r1 -= k * r0;
        std::swap(s0, s1);
        s1 -= k * s0;
    }
    return static_cast<u64>(s0 < 0 ? s0 + static_cast<i64>(m) : s0);
}

// a * b mod n for a, b < n < 2^111: b taken sixteen bits at a time, so that
// no product passes 2^127.
u128 mulmod(u128 a, u128 b, u128 n)
{
    u128 r = 0;
    for (int s = 112; s >= 0; s -= 16) {
        r = (r << 16) % n;
        r = (r + a * ((b >> s) & 0xffff) % n) % n;
    }
    return r;
}

u128 pgcd(u128 a, u128 b)
{
    while (b != 0) {
        const u128 r = a % b;
        a = b;
        b = r;
    }
    return a;
}

int nombreDeBits(u128 n)
{
    int b = 0;
    for (; n != 0; n >>= 1) b++;
    return b;
}

// The primes below 2^16, once for the process.
const std::vector<u32>& petitsPremiers()
{
    static const std::vector<u32> premiers = [] {
        constexpr u32 N = 1 << 16;
        std::vector<bool> compose(N, false);
        std::vector<u32> r;
        for (u32 a = 2; a < N; a++) {
            if (compose[a]) continue;
            r.push_back(a);
            for (u32 b = a * a; b < N; b += a) compose[b] = true;
        }
        return r;
    }();
    return premiers;
}

// X^2 = Y^2 * (the primes of the base to the exponents e) mod n; after
// products of relations, every exponent is even.
struct Relation {
    u128 x = 0, y = 1;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> e;  // (column, exponent)
};

class Crible {
public:
    explicit Crible(u128 n) : n_(n) {}
    u128 chercher();

private:
    bool base();
    bool polynome();
    void cribler();
    void essayer(long i);
    u128 combiner();

    u128 n_;
    Reglage r_{};
    std::vector<u32> p_, racines_;
    std::vector<std::uint8_t> logs_;
    std::vector<u32> s1_, s2_;  // the sieve's first index of each root
    std::vector<std::uint8_t> tamis_;
    std::uint8_t depart_ = 0;
    u64 q_ = 0, grand_ = 0;
    u128 a_ = 0, b_ = 0;
    i128 c_ = 0;
    u128 trouve_ = 0;  // a factor met on the way (a prime of the base or q dividing n)
    std::vector<Relation> relations_;
    std::unordered_map<u64, Relation> partielles_;
    std::vector<std::uint16_t> exposants_;
};

bool Crible::base()
{
    const int bits = nombreDeBits(n_);
    r_ = REGLAGES[std::size(REGLAGES) - 1];
    for (const Reglage& r : REGLAGES)
        if (bits <= r.bits) {
            r_ = r;
            break;
        }
    p_.assign(1, 2);
    racines_.assign(1, 1);
    for (u32 p : petitsPremiers()) {
        if (p == 2) continue;
        const u64 m = static_cast<u64>(n_ % p);
        if (m == 0) {
            trouve_ = p;
            return false;
        }
        if (puissance(m, (p - 1) / 2, p) != 1) continue;
        p_.push_back(p);
        racines_.push_back(static_cast<u32>(racine(m, p)));
        if (static_cast<int>(p_.size()) == r_.premiers) break;
    }
    logs_.resize(p_.size());
    for (std::size_t k = 0; k < p_.size(); k++) logs_[k] = static_cast<std::uint8_t>(std::lround(std::log2(p_[k])));
    s1_.resize(p_.size());
    s2_.resize(p_.size());
    tamis_.resize(2 * static_cast<std::size_t>(r_.demi));
    grand_ = static_cast<u64>(p_.back()) * FOIS_GRAND;
    // |Q(x)| is at most about M sqrt(n/2) when A is near sqrt(2n)/M; a place
    // starts at depart_ so that its top bit comes on at the threshold.
    const double seuil = std::log2(static_cast<double>(r_.demi)) + (bits - 1) / 2.0 - r_.marge;
    depart_ = static_cast<std::uint8_t>(128 - std::max(1L, std::lround(seuil)));
    const double cible = std::sqrt(std::sqrt(2.0 * static_cast<double>(n_)) / r_.demi);
    q_ = std::max(static_cast<u64>(cible), static_cast<u64>(p_.back()) + 1);
    exposants_.assign(p_.size() + 1, 0);
    return true;
}

// The next polynomial: q the next prime = 3 mod 4 with n a square mod q, B a
// root of n mod q^2 lifted from the one mod q.
bool Crible::polynome()
{
    for (;;) {
        q_++;
        if (q_ % 4 != 3 || !premier64(q_)) continue;
        const u64 m = static_cast<u64>(n_ % q_);
        if (m == 0) {
            trouve_ = q_;
            return false;
        }
        if (puissance(m, (q_ - 1) / 2, q_) == 1) break;
    }
    const u64 b0 = puissance(static_cast<u64>(n_ % q_), (q_ + 1) / 4, q_);
    const u64 k = static_cast<u64>((n_ - static_cast<u128>(b0) * b0) / q_ % q_);
    const u64 t = k * inverse(2 * b0 % q_, q_) % q_;
    a_ = static_cast<u128>(q_) * q_;
    b_ = b0 + static_cast<u128>(q_) * t;
    c_ = (static_cast<i128>(b_ * b_) - static_cast<i128>(n_)) / static_cast<i128>(a_);
    const u64 m = static_cast<u64>(r_.demi);
    for (std::size_t j = 1; j < p_.size(); j++) {
        const u64 p = p_[j];
        const u64 ainv = inverse(static_cast<u64>(a_ % p), p);
        const u64 bm = static_cast<u64>(b_ % p);
        const u64 x1 = (racines_[j] + p - bm) % p * ainv % p;
        const u64 x2 = (2 * p - racines_[j] - bm) % p * ainv % p;
        s1_[j] = static_cast<u32>((x1 + m) % p);
        s2_[j] = static_cast<u32>((x2 + m) % p);
    }
    return true;
}

void Crible::cribler()
{
    std::memset(tamis_.data(), depart_, tamis_.size());
    std::uint8_t* t = tamis_.data();
    const u32 largeur = static_cast<u32>(tamis_.size());
    for (std::size_t j = 1; j < p_.size(); j++) {
        const u32 p = p_[j];
        if (p < PETIT) continue;
        const std::uint8_t l = logs_[j];
        for (u32 i = s1_[j]; i < largeur; i += p) t[i] += l;
        if (s2_[j] != s1_[j])
            for (u32 i = s2_[j]; i < largeur; i += p) t[i] += l;
    }
    for (u32 i = 0; i < largeur; i += 8) {
        u64 w;
        std::memcpy(&w, t + i, 8);
        if ((w & 0x8080808080808080ULL) == 0) continue;
        for (u32 j = i; j < i + 8; j++)
            if (t[j] & 0x80) essayer(j);
    }
}

// Trial division of Q(x) at the sieve's place i by the primes of the base
// whose roots fall there.
void Crible::essayer(long i)
{
    const i64 x = i - r_.demi;
    const i128 qx = static_cast<i128>(a_) * x * x + 2 * static_cast<i128>(b_) * x + c_;
    if (qx == 0) return;
    u128 v = static_cast<u128>(qx < 0 ? -qx : qx);
    std::fill(exposants_.begin(), exposants_.end(), 0);
    exposants_[0] = qx < 0;
    for (; v % 2 == 0; v /= 2) exposants_[1]++;
    for (std::size_t j = 1; j < p_.size(); j++) {
        const u32 p = p_[j];
        const u32 r = static_cast<u32>(i % p);
        if (r != s1_[j] && r != s2_[j]) continue;
        for (; v % p == 0; v /= p) exposants_[j + 1]++;
    }
    if (v != 1 && v >= grand_) return;
    Relation rel;
    const i128 ax = static_cast<i128>(a_) * x + static_cast<i128>(b_);
    rel.x = static_cast<u128>(ax < 0 ? -ax : ax) % n_;
    rel.y = q_ % n_;
    for (std::size_t c = 0; c < exposants_.size(); c++)
        if (exposants_[c] != 0) rel.e.emplace_back(static_cast<std::uint16_t>(c), exposants_[c]);
    if (v == 1) {
        relations_.push_back(std::move(rel));
        return;
    }
    // One prime beyond the base (v < p_max^2): paired with the first value
    // that had it, the product is v^2 times primes of the base.
    const u64 l = static_cast<u64>(v);
    if (n_ % l == 0) {
        trouve_ = l;
        return;
    }
    const auto it = partielles_.find(l);
    if (it == partielles_.end()) {
        partielles_.emplace(l, std::move(rel));
        return;
    }
    const Relation& autre = it->second;
    rel.x = mulmod(rel.x, autre.x, n_);
    rel.y = mulmod(mulmod(rel.y, autre.y, n_), l % n_, n_);
    rel.e.insert(rel.e.end(), autre.e.begin(), autre.e.end());
    relations_.push_back(std::move(rel));
}

// Gaussian elimination mod 2 on the relations' exponents, each row carrying
// the set of relations it is the sum of; every row left at zero is a square.
u128 Crible::combiner()
{
    const std::size_t colonnes = p_.size() + 1, k = relations_.size();
    const std::size_t mots = (colonnes + k + 63) / 64;
    std::vector<u64> m(k * mots, 0);
    auto bit = [&](std::size_t r, std::size_t c) { return (m[r * mots + c / 64] >> (c % 64)) & 1; };
    for (std::size_t r = 0; r < k; r++) {
        for (const auto& [c, e] : relations_[r].e)
            if (e & 1) m[r * mots + c / 64] ^= u64(1) << (c % 64);
        m[r * mots + (colonnes + r) / 64] |= u64(1) << ((colonnes + r) % 64);
    }
    std::vector<bool> pivot(k, false);
    for (std::size_t c = 0; c < colonnes; c++) {
        std::size_t r = 0;
        while (r < k && (pivot[r] || !bit(r, c))) r++;
        if (r == k) continue;
        pivot[r] = true;
        for (std::size_t s = 0; s < k; s++)
            if (s != r && bit(s, c))
                for (std::size_t w = 0; w < mots; w++) m[s * mots + w] ^= m[r * mots + w];
    }
    std::vector<std::uint32_t> somme(colonnes);
    for (std::size_t r = 0; r < k; r++) {
        if (pivot[r]) continue;
        std::fill(somme.begin(), somme.end(), 0);
        u128 x = 1, y = 1;
        for (std::size_t s = 0; s < k; s++) {
            if (!bit(r, colonnes + s)) continue;
            x = mulmod(x, relations_[s].x, n_);
            y = mulmod(y, relations_[s].y, n_);
            for (const auto& [c, e] : relations_[s].e) somme[c] += e;
        }
        for (std::size_t c = 1; c < colonnes; c++)
            for (std::uint32_t e = 0; e < somme[c] / 2; e++) y = mulmod(y, p_[c - 1], n_);
        const u128 g = pgcd((x + n_ - y) % n_, n_);
        if (g != 1 && g != n_) return g;
    }
    return 0;
}

u128 Crible::chercher()
{
    if (!base()) return trouve_;
    std::size_t voulu = p_.size() + 1 + 16;
    int eliminations = 0;
    for (long k = 0; k < POLYNOMES_MAX && eliminations < ELIMINATIONS_MAX; k++) {
        if (arrete()) return 0;
        if (!polynome()) return trouve_;
        cribler();
        if (trouve_ != 0) return trouve_;
        if (relations_.size() < voulu) continue;
        eliminations++;
        if (const u128 g = combiner(); g != 0) return g;
        voulu = relations_.size() + 16;
    }
    return 0;
}

}  // namespace

u128 crible(u128 n)
{
    if (n % 2 == 0) return 2;
    return Crible(n).chercher();
}

}  // namespace egypte
