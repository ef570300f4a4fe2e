// When q^2 has many divisors and p is large, most divisors fail the residue
// test: the primes are split in two groups, the divisors of the first group
// are filed in a hash table by their residue mod p, and each divisor dB of the
// second group looks up the dA with dA = c / dB (mod p) (dB is prime to p,
// since p and q are). The work is about the square root of the divisor count.
#include <algorithm>
#include <cstdint>

#include "search/diviseurs.h"
#include "search/etat.h"

namespace egypte {

u64 inverseMod(u64 a, u64 p)
{
    // Every value stays within 64 signed bits.
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

// The divisors of the first group up to dhi with their residues, built prime
// after prime from those already listed: one product of residues each
// (rather than a division of the divisor itself), in a flat array rather
// than a recursion, each filed in the table as it comes.
void Diviseurs::listerA(const Mots& m)
{
    nA_ = 0;
    ranger(Entree{1 % m.p, 1, -1});
    for (const Puissance& f : premiersA_) {
        const u64 pr = f.p;
        const u64 rp = m.mod.reduire(pr);
        const std::size_t n0 = nA_;
        for (std::size_t a0 = 0; a0 < n0; a0++) {
            u64 d = groupeA_[a0].d, r = groupeA_[a0].r;
            for (int t = 0; t < f.e && static_cast<u128>(d) * pr <= m.dhi; t++) {
                d *= pr;
                r = m.mod.produit(r, rp);
                ranger(Entree{r, d, -1});
            }
        }
    }
}

inline void Diviseurs::chercherPartenaires(const Mots& m, const DiviseurB& b)
{
    const u64 h = hacher(b.cible), bit = h >> decalageFiltre_;
    if (((filtre_[bit >> 6] >> (bit & 63)) & 1) == 0) return;
    const Fente& f = fentes_[static_cast<std::size_t>(h >> decalage_)];
    if (f.marque != marque_) return;
    for (int e = f.tete; e >= 0; e = groupeA_[e].suivant) {
        const Entree& en = groupeA_[e];
        if (en.r != b.cible) continue;
        const u128 dd = static_cast<u128>(en.d) * b.d;
        if (dd <= m.dhi && dd >= m.dlo) candidats.push_back(static_cast<u64>(dd));
    }
}

// Those of the second group, each with the residue its partner from the
// first group must have (c over its own residue mod p, one product per
// divisor as it is built), each looking its partners up as it comes.
void Diviseurs::listerB(const Mots& m)
{
    std::size_t nB = 0;
    groupeB_[nB++] = DiviseurB{1, m.c};
    chercherPartenaires(m, groupeB_[0]);
    for (std::size_t idx = 0; idx < premiersB_.size(); idx++) {
        const u64 pr = premiersB_[idx].p;
        const std::size_t n0 = nB;
        for (std::size_t b0 = 0; b0 < n0; b0++) {
            u64 d = groupeB_[b0].d, cible = groupeB_[b0].cible;
            for (int t = 0; t < premiersB_[idx].e && static_cast<u128>(d) * pr <= m.dhi; t++) {
                d *= pr;
                cible = m.mod.produit(cible, inverses_[idx]);
                groupeB_[nB] = DiviseurB{d, cible};
                chercherPartenaires(m, groupeB_[nB++]);
            }
        }
        // Ctrl-C looked at between two primes: a prime adds at most as many
        // divisors as the group had.
        noeuds_ += static_cast<long>(nB - n0);
        if (noeuds_ >= PAS_INTERRUPTION) {
            noeuds_ = 0;
            if (interrompu.load(std::memory_order_relaxed)) {
                coupe = true;
                return;
            }
        }
    }
}

void Diviseurs::apparier(const Mots& m)
{
    // Exponents in q^2; each prime to the group whose divisor count is smaller.
    premiersA_.clear();
    premiersB_.clear();
    double tA = 1, tB = 1;
    for (const Puissance& f : *premiers_) {
        if (tA <= tB) {
            premiersA_.push_back(Puissance{f.p, 2 * f.e});
            tA *= 2 * f.e + 1;
        } else {
            premiersB_.push_back(Puissance{f.p, 2 * f.e});
            tB *= 2 * f.e + 1;
        }
    }
    inverses_.clear();
    for (const Puissance& f : premiersB_) inverses_.push_back(inverseMod(f.p, m.p));
    // tA and tB bound the entries: room for them all is made once.
    if (static_cast<double>(groupeA_.size()) < tA) groupeA_.resize(static_cast<std::size_t>(tA));
    if (static_cast<double>(groupeB_.size()) < tB) groupeB_.resize(static_cast<std::size_t>(tB));
    // A table of at least twice as many slots as entries can be, a power of two.
    int bits = 4;
    while (static_cast<double>(std::size_t(1) << bits) < 2 * tA) bits++;
    const std::size_t taille = std::size_t(1) << bits;
    if (fentes_.size() < taille) fentes_.resize(taille, Fente{marque_, -1});
    decalage_ = 64 - bits;
    if (++marque_ == 0) {
        // After 2^32 matchings the marks come round: clear them once.
        for (Fente& f : fentes_) f.marque = 0;
        marque_ = 1;
    }
    // The filter, sixteen bits an entry, cleared for each matching.
    const int bitsFiltre = std::max(bits + 3, 6);
    decalageFiltre_ = 64 - bitsFiltre;
    const std::size_t mots = std::size_t(1) << (bitsFiltre - 6);
    if (filtre_.size() < mots) filtre_.resize(mots);
    std::fill(filtre_.begin(), filtre_.begin() + static_cast<long>(mots), 0);
    listerA(m);
    listerB(m);
}

}  // namespace egypte
