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

// The divisors of the first group up to dhi with their residues, built prime
// after prime from those already listed: one product of residues each
// (rather than a division of the divisor itself), in a flat array rather
// than a recursion.
void Diviseurs::listerA(const Mots& m)
{
    nA_ = 0;
    groupeA_[nA_++] = Entree{1 % m.p, 1, -1};
    for (const Puissance& f : premiersA_) {
        const u64 pr = f.p;
        const u64 rp = m.mod.reduire(pr);
        const std::size_t n0 = nA_;
        for (std::size_t a0 = 0; a0 < n0; a0++) {
            u64 d = groupeA_[a0].d, r = groupeA_[a0].r;
            for (int t = 0; t < f.e && static_cast<u128>(d) * pr <= m.dhi; t++) {
                d *= pr;
                r = m.mod.produit(r, rp);
                groupeA_[nA_++] = Entree{r, d, -1};
            }
        }
    }
}

// Those of the second group, each with the residue its partner from the
// first group must have (c over its own residue mod p, one product per
// divisor as it is built), then each looks its partners up.
void Diviseurs::listerB(const Mots& m)
{
    groupeB_.clear();
    groupeB_.push_back(DiviseurB{1, m.c});
    for (std::size_t idx = 0; idx < premiersB_.size(); idx++) {
        const u64 pr = premiersB_[idx].p;
        const std::size_t n0 = groupeB_.size();
        for (std::size_t b0 = 0; b0 < n0; b0++) {
            u64 d = groupeB_[b0].d, cible = groupeB_[b0].cible;
            for (int t = 0; t < premiersB_[idx].e && static_cast<u128>(d) * pr <= m.dhi; t++) {
                d *= pr;
                cible = m.mod.produit(cible, inverses_[idx]);
                groupeB_.push_back(DiviseurB{d, cible});
            }
        }
    }
    for (const DiviseurB& b : groupeB_) {
        const std::size_t h = fente(b.cible);
        if (fentes_[h].marque == marque_) {
            for (int e = fentes_[h].tete; e >= 0; e = groupeA_[e].suivant) {
                const Entree& en = groupeA_[e];
                if (en.r != b.cible) continue;
                const u128 dd = static_cast<u128>(en.d) * b.d;
                if (dd <= m.dhi && dd >= m.dlo) candidats.push_back(static_cast<u64>(dd));
            }
        }
        if (++noeuds_ % PAS_INTERRUPTION == 0 && interrompu.load(std::memory_order_relaxed)) {
            coupe = true;
            return;
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
    // tA bounds the entries: room for them all is made once.
    if (static_cast<double>(groupeA_.size()) < tA) groupeA_.resize(static_cast<std::size_t>(tA));
    listerA(m);
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
    listerB(m);
}

}  // namespace egypte
