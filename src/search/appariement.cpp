// When q^2 has many divisors and p is large, most divisors fail the residue
// test: the primes are split in two groups, the divisors of the first group
// are filed in a hash table by their residue mod p, and each divisor dB of the
// second group looks up the dA with dA = c / dB (mod p) (dB is prime to p,
// since p and q are). The work is about the square root of the divisor count.
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

// The divisors of the first group up to dhi, with their residues (obtained by
// multiplying residues, so that each costs one product rather than a division
// of the divisor itself).
void Diviseurs::listerA(const Mots& m, std::size_t idx, u64 d, u64 rd)
{
    if (idx == premiersA_.size()) {
        groupeA_[nA_++] = Entree{rd, d, -1};
        return;
    }
    const u64 pr = premiersA_[idx].p;
    const u64 rp = m.mod.reduire(pr);
    for (int t = 0;; t++) {
        listerA(m, idx + 1, d, rd);
        if (t == premiersA_[idx].e || static_cast<u128>(d) * pr > m.dhi) break;
        d *= pr;
        rd = m.mod.produit(rd, rp);
    }
}

void Diviseurs::listerB(const Mots& m, std::size_t idx, u64 d, u64 inv)
{
    if (coupe) return;
    if (idx == premiersB_.size()) {
        const u64 cible = m.mod.produit(m.c, inv);
        const std::size_t h = fente(cible);
        if (fentes_[h].marque == marque_) {
            for (int e = fentes_[h].tete; e >= 0; e = groupeA_[e].suivant) {
                const Entree& en = groupeA_[e];
                if (en.r != cible) continue;
                const u128 dd = static_cast<u128>(en.d) * d;
                if (dd <= m.dhi && dd >= m.dlo) candidats.push_back(static_cast<u64>(dd));
            }
        }
        if (++noeuds_ % PAS_INTERRUPTION == 0 && interrompu.load(std::memory_order_relaxed)) coupe = true;
        return;
    }
    const u64 pr = premiersB_[idx].p;
    for (int t = 0;; t++) {
        listerB(m, idx + 1, d, inv);
        if (t == premiersB_[idx].e || static_cast<u128>(d) * pr > m.dhi) break;
        d *= pr;
        inv = m.mod.produit(inv, inverses_[idx]);
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
    // tA bounds the entries: room for them all is made once.
    if (static_cast<double>(groupeA_.size()) < tA) groupeA_.resize(static_cast<std::size_t>(tA));
    nA_ = 0;
    listerA(m, 0, 1, 1 % m.p);
    // A table of at least twice as many slots as entries, a power of two.
    int bits = 4;
    while ((std::size_t(1) << bits) < 2 * nA_) bits++;
    const std::size_t taille = std::size_t(1) << bits;
    if (fentes_.size() < taille) fentes_.resize(taille, Fente{marque_, -1});
    decalage_ = 64 - bits;
    if (++marque_ == 0) {
        // After 2^32 matchings the marks come round: clear them once.
        for (Fente& f : fentes_) f.marque = 0;
        marque_ = 1;
    }
    for (std::size_t a0 = 0; a0 < nA_; a0++) {
        const std::size_t h = fente(groupeA_[a0].r);
        if (fentes_[h].marque == marque_) groupeA_[a0].suivant = fentes_[h].tete;
        fentes_[h] = Fente{marque_, static_cast<int>(a0)};
    }
    listerB(m, 0, 1, 1 % m.p);
}

}  // namespace egypte
