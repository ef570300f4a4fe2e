// Trial division by the small primes, then Miller-Rabin and Pollard-Brent with
// 128-bit products: exact and fast for any 64-bit number.
#include "facteurs/facteurs.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace egypte {

namespace {

// Below 2^32 the product fits 64 bits and one machine division suffices.
u64 mulmod(u64 a, u64 b, u64 m)
{
    if (m >> 32 == 0) return a * b % m;
    return static_cast<u64>(static_cast<u128>(a) * b % m);
}

u64 powmod(u64 b, u64 e, u64 m)
{
    u64 r = 1 % m;
    b %= m;
    while (e > 0) {
        if (e & 1) r = mulmod(r, b, m);
        b = mulmod(b, b, m);
        e >>= 1;
    }
    return r;
}

u64 pgcd(u64 a, u64 b)
{
    while (b != 0) {
        const u64 t = a % b;
        a = b;
        b = t;
    }
    return a;
}

// A non-trivial factor of the odd composite v.
u64 brent(u64 v)
{
    for (u64 c = 1;; c++) {
        u64 y = 2, x = 2, g = 1, q = 1, ys = 2;
        const u64 m = 128;
        u64 r = 1;
        auto f = [&](u64 t) { return (mulmod(t, t, v) + c) % v; };
        do {
            x = y;
            for (u64 k = 0; k < r; k++) y = f(y);
            u64 k = 0;
            do {
                ys = y;
                for (u64 s = 0; s < std::min(m, r - k); s++) {
                    y = f(y);
                    q = mulmod(q, x > y ? x - y : y - x, v);
                }
                g = pgcd(q, v);
                k += m;
            } while (k < r && g == 1);
            r *= 2;
        } while (g == 1);
        if (g == v) {
            // The batch overshot: redo it one step at a time.
            do {
                ys = f(ys);
                g = pgcd(x > ys ? x - ys : ys - x, v);
            } while (g == 1);
        }
        if (g != v) return g;
    }
}

// Smallest prime factor of every odd composite below `limite` (0 for a
// prime), at index v/2, so that most unknowns factor by a few look-ups. The
// table covers the unknowns met so far: it starts at 2^16 and doubles when a
// larger one comes, up to TABLE, so that a short search does not pay for a
// table it never reads. The primes are taken from the largest down and every
// multiple is written without a test: the smallest prime is the one that stays.
constexpr u64 TABLE = u64(1) << 22;

// A table once published is never changed: the threads of a walk read it
// without a lock. A larger one is built under a lock and published in its
// turn; the smaller ones stay alive (all together less than the largest).
struct Table {
    u64 limite = 0;
    std::vector<std::uint16_t> crible;
};
std::atomic<const Table*> courante{nullptr};
std::mutex construction;
std::vector<std::unique_ptr<Table>> tables;

const std::uint16_t* table(u64 v)
{
    const Table* t = courante.load(std::memory_order_acquire);
    if (t != nullptr && v < t->limite) return t->crible.data();
    const std::lock_guard<std::mutex> garde(construction);
    t = courante.load(std::memory_order_acquire);
    if (t != nullptr && v < t->limite) return t->crible.data();
    u64 l = std::max<u64>(t != nullptr ? t->limite : 0, u64(1) << 16);
    while (l <= v) l <<= 1;
    auto nouvelle = std::make_unique<Table>();
    std::vector<std::uint16_t>& crible = nouvelle->crible;
    crible.assign(l / 2, 0);
    std::vector<u64> petits;
    for (u64 p = 3; p * p < l; p += 2) {
        bool premier = true;
        for (u64 d = 3; d * d <= p && premier; d += 2) premier = p % d != 0;
        if (premier) petits.push_back(p);
    }
    for (auto it = petits.rbegin(); it != petits.rend(); ++it) {
        const u64 p = *it;
        const auto marque = static_cast<std::uint16_t>(p);
        for (u64 m = p * p; m < l; m += 2 * p) crible[m >> 1] = marque;
    }
    nouvelle->limite = l;
    t = nouvelle.get();
    tables.push_back(std::move(nouvelle));
    courante.store(t, std::memory_order_release);
    return t->crible.data();
}

void ajouter(u64 p, int e, Puissance f[16], int& k)
{
    for (int a = 0; a < k; a++)
        if (f[a].p == p) {
            f[a].e += e;
            return;
        }
    f[k++] = Puissance{p, e};
}

void casser(u64 v, Puissance f[16], int& k)
{
    if (v < TABLE) {
        if (v > 1 && (v & 1) == 0) {
            const int e = __builtin_ctzll(v);
            v >>= e;
            ajouter(2, e, f, k);
        }
        const std::uint16_t* t = table(v);
        while (v > 1) {
            const u64 p = t[v >> 1] == 0 ? v : t[v >> 1];
            int e = 0;
            do {
                v /= p;
                e++;
            } while (v % p == 0);
            ajouter(p, e, f, k);
        }
        return;
    }
    if (premier64(v)) {
        ajouter(v, 1, f, k);
        return;
    }
    const u64 d = brent(v);
    casser(d, f, k);
    casser(v / d, f, k);
}

const unsigned PETITS[] = {2,  3,  5,  7,  11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59, 61, 67, 71, 73, 79, 83, 89, 97};

}  // namespace

bool premier64(u64 v)
{
    if (v < 2) return false;
    static const u64 petits[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    for (u64 b : petits) {
        if (v == b) return true;
        if (v % b == 0) return false;
    }
    // Bases known to decide every number below the given bound.
    int nb;
    static const u64 b32[] = {2, 7, 61};
    const u64* bases = petits;
    if (v < 4759123141ULL) {
        bases = b32;
        nb = 3;
    } else if (v < 3474749660383ULL) {
        nb = 6;
    } else if (v < 341550071728321ULL) {
        nb = 7;
    } else if (v < 3825123056546413051ULL) {
        nb = 9;
    } else {
        nb = 12;
    }
    u64 d = v - 1;
    int s = 0;
    while ((d & 1) == 0) {
        d >>= 1;
        s++;
    }
    for (int k = 0; k < nb; k++) {
        if (bases[k] % v == 0) continue;  // a base that is a multiple of v proves nothing
        u64 x = powmod(bases[k], d, v);
        if (x == 1 || x == v - 1) continue;
        bool compose = true;
        for (int r = 1; r < s; r++) {
            x = mulmod(x, x, v);
            if (x == v - 1) {
                compose = false;
                break;
            }
        }
        if (compose) return false;
    }
    return true;
}

int factoriser64(u64 v, Puissance f[16])
{
    int k = 0;
    if (v >= TABLE) {
        for (unsigned p : PETITS) {
            if (v % p != 0) continue;
            int e = 0;
            do {
                v /= p;
                e++;
            } while (v % p == 0);
            f[k++] = Puissance{p, e};
        }
    }
    casser(v, f, k);
    std::sort(f, f + k, [](const Puissance& a, const Puissance& b) { return a.p < b.p; });
    return k;
}

}  // namespace egypte
