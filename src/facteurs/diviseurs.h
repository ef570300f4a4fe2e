// The divisor mathematics of the fast search, in machine words. With R = p/q
// left for the last two unknowns,
//
//     1/a + 1/b = p/q   exactly when   (pa - q)(pb - q) = q^2,
//
// so the values a that complete are a = (q + d)/p for the divisors d of q^2
// with d = -q (mod p), and b = (q + q^2/d)/p. A range of a, from v0 down to
// vlast, is a range of d; the candidates d are found by listing the divisors
// under the range's bound, by matching their residues mod p in two halves
// (when they are many and p is large), or by stepping the range. Nothing here
// knows the search: a range and the primes of q come in, the candidates go out.
#ifndef EGYPTE_FACTEURS_DIVISEURS_H
#define EGYPTE_FACTEURS_DIVISEURS_H

#include <cstdint>
#include <vector>

#include "facteurs/facteurs.h"

namespace egypte {

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
    // The estimate of the quotient is short by at most 2: at most two
    // corrections, seldom needed.
    u64 reduire(u64 a) const
    {
        const u64 qe = static_cast<u64>((static_cast<u128>(a) * inv) >> 64);
        u64 r = a - qe * p;
        r = r >= p ? r - p : r;
        return r >= p ? r - p : r;
    }
    u64 produit(u64 a, u64 b) const
    {
        if (p >> 32 == 0) return reduire(a * b);
        return static_cast<u64>(static_cast<u128>(a) * b % p);
    }
};

// One range: p, q below 2^62, a from v0 down to vlast by z.
struct Mots {
    u64 p, q, c;        // R = p/q; c = -q mod p
    ModP mod;           // reductions mod p
    u128 q2;            // q^2
    u64 dlo, dhi;       // the divisors of the range
    u64 v0, vlast;      // the range of a
    int z = 1;          // step of a (2 when a parity is imposed)
    bool impair, pair;  // the parity b must have
    bool borne;         // b must not exceed Mb
    u128 Mb;

    // p, q, the range and the divisor bounds; distinctes = the two unknowns
    // must differ (d < q). Parity and bound of b are set by the caller.
    void plage(u64 p0, u64 q0, u64 v00, u64 vlast0, int z0, bool distinctes);
    // Whether the divisor d gives an expansion of the range: a (av) of the
    // range's parity, b (bv) of the required parity and within the bound.
    bool complete(u64 d, u64& av, u128& bv) const;
    // The same answer, without working out b when nothing is asked of it.
    bool convient(u64 d) const;
};

class Diviseurs {
public:
    // The divisors d of q^2 in [dlo, dhi] with d = c (mod p), into candidats in
    // no particular order (trier puts them in the walk's): premiers are the
    // primes of q with their exponents in q, in any order (the largest first
    // cut the listing soonest). apparie:
    // matched in two halves; pas: the range stepped instead. Ctrl-C (the flag
    // interrompu, or the stop of this thread's search) cuts the search: coupe
    // is then set and candidats incomplete.
    void chercher(const Mots& m, const std::vector<Puissance>& premiers, bool apparie, bool pas);
    // The candidates in decreasing order, the walk's order (an output that
    // only counts them needs no order).
    void trier();

    std::vector<u64> candidats;
    bool coupe = false;

private:
    long noeuds_ = 0;
    bool enOrdre_ = true;  // candidats already decreasing (the range stepped)
    const std::vector<Puissance>* premiers_ = nullptr;

    void lister(const Mots& m, std::size_t idx, u64 d);
    void parcourirPlage(const Mots& m);

    // The matching in two halves (appariement.cpp): each group's divisors
    // and residues side by side (the second group's are the residues their
    // partners need), the first group's chained by slot.
    std::vector<u64> dA_, rA_, dB_, rB_;
    std::vector<int> suivantA_;  // next entry of the same slot; -1 ends the chain
    struct Fente {
        unsigned marque;  // the slot is in use in this matching when equal to marque
        int tete;         // its first entry
    };
    std::vector<Fente> fentes_;
    unsigned marque_ = 0;  // changes at every matching, so the table is never cleared
    int decalage_ = 64;    // 64 - log2 of the table size
    // One bit per position of a finer table, set where an entry falls: most
    // look-ups find nothing, and a bit answers them without a branch that
    // cannot be guessed (the slots are half full).
    std::vector<u64> filtre_;
    int decalageFiltre_ = 64;
    std::vector<Puissance> premiersA_, premiersB_;
    std::vector<u64> facteursA_;  // the first group's primes mod p
    std::vector<u64> facteursB_;  // the inverses mod p of the second group's

    static u64 hacher(u64 r) { return r * 0x9E3779B97F4A7C15ULL; }
    void apparier(const Mots& m);
    std::size_t developper(const Mots& m, const std::vector<Puissance>& premiers, const u64* facteurs, u64 r1, u64* d,
                           u64* r);
    void ranger(std::size_t nA);
    void chercherPartenaires(const Mots& m, std::size_t nB);
};

// Inverse of a mod p (a prime to p < 2^62), by the extended Euclid algorithm.
u64 inverseMod(u64 a, u64 p);

// Inner iterations between two looks at Ctrl-C.
constexpr int PAS_INTERRUPTION = 1 << 14;

}  // namespace egypte

#endif
