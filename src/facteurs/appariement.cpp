// When q^2 has many divisors and p is large, most divisors fail the residue
// test: the primes are split in two groups, the divisors of the first group
// are filed in a hash table by their residue mod p, and each divisor dB of the
// second group looks up the dA with dA = c / dB (mod p) (dB is prime to p,
// since p and q are). The work is about the square root of the divisor count.
#include <algorithm>
#include <cstdint>

#include "facteurs/diviseurs.h"
#include "commun/avancement.h"

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

// The divisors up to dhi of the primes of a group, with a residue each: that
// of 1 is r1, and a prime j multiplies it by facteurs[j]. Power after power
// of each prime, from the entries the power before made; every candidate is
// written and the count moves on only when it is under the bound, so no
// branch hangs on the divisors' sizes. Returns the count.
std::size_t Diviseurs::developper(const Mots& m, const std::vector<Puissance>& premiers, const u64* facteurs,
                                  u64 r1, u64* d, u64* r)
{
    std::size_t n = 1;
    d[0] = 1;
    r[0] = r1;
    for (std::size_t j = 0; j < premiers.size(); j++) {
        const u64 pr = premiers[j].p, f = facteurs[j];
        const u64 lim = m.dhi / pr;  // d * pr <= dhi exactly when d <= lim
        std::size_t debut = 0, fin = n;
        for (int t = 0; t < premiers[j].e && debut < fin; t++) {
            for (std::size_t a = debut; a < fin; a++) {
                d[n] = d[a] * pr;  // wraps when d[a] > lim, and is then not kept
                r[n] = m.mod.produit(r[a], f);
                n += d[a] <= lim;
            }
            debut = fin;
            fin = n;
        }
    }
    return n;
}

// The first group's residues into the table, each entry at the head of its
// slot's chain, and into the filter.
void Diviseurs::ranger(std::size_t nA)
{
    Fente* const fentes = fentes_.data();
    u64* const filtre = filtre_.data();
    int* const suivant = suivantA_.data();
    const u64* const r = rA_.data();
    const unsigned marque = marque_;
    const int decalage = decalage_, decalageFiltre = decalageFiltre_;
    for (std::size_t a = 0; a < nA; a++) {
        const u64 h = hacher(r[a]);
        Fente& f = fentes[h >> decalage];
        const u64 bit = h >> decalageFiltre;
        filtre[bit >> 6] |= u64(1) << (bit & 63);
        // The slot's chain, or none when the slot is from another matching:
        // half the slots are, so this is worked out rather than branched on.
        suivant[a] = f.tete | -static_cast<int>(f.marque != marque);
        f = Fente{marque, static_cast<int>(a)};
    }
}

// Each divisor of the second group looks up the first group's entries of
// the residue it needs (c over its own residue).
void Diviseurs::chercherPartenaires(const Mots& m, std::size_t nB)
{
    const Fente* const fentes = fentes_.data();
    const u64* const filtre = filtre_.data();
    const u64* const r = rB_.data();
    const int decalage = decalage_, decalageFiltre = decalageFiltre_;
    for (std::size_t b = 0; b < nB; b++) {
        const u64 cible = r[b], h = hacher(cible), bit = h >> decalageFiltre;
        if (((filtre[bit >> 6] >> (bit & 63)) & 1) == 0) continue;
        const Fente& f = fentes[h >> decalage];
        if (f.marque != marque_) continue;
        for (int e = f.tete; e >= 0; e = suivantA_[static_cast<std::size_t>(e)]) {
            if (rA_[static_cast<std::size_t>(e)] != cible) continue;
            const u128 dd = static_cast<u128>(dA_[static_cast<std::size_t>(e)]) * dB_[b];
            if (dd <= m.dhi && dd >= m.dlo) candidats.push_back(static_cast<u64>(dd));
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
    // Residues of the first group's primes; inverses of the second's.
    facteursA_.clear();
    for (const Puissance& f : premiersA_) facteursA_.push_back(m.mod.reduire(f.p));
    facteursB_.clear();
    for (const Puissance& f : premiersB_) facteursB_.push_back(inverseMod(f.p, m.p));
    // tA and tB bound the entries (one more is written, never kept): room
    // for them all is made once.
    const std::size_t nMax = static_cast<std::size_t>(std::max(tA, tB)) + 1;
    if (dA_.size() < nMax) {
        for (std::vector<u64>* v : {&dA_, &rA_, &dB_, &rB_}) v->resize(nMax);
        suivantA_.resize(nMax);
    }
    const std::size_t nA = developper(m, premiersA_, facteursA_.data(), 1 % m.p, dA_.data(), rA_.data());
    // A table of at least twice as many slots as entries, a power of two,
    // and a filter of sixty-four bits an entry.
    int bits = 4;
    while ((std::size_t(1) << bits) < 2 * nA) bits++;
    const std::size_t taille = std::size_t(1) << bits;
    if (fentes_.size() < taille) fentes_.resize(taille, Fente{marque_, -1});
    decalage_ = 64 - bits;
    if (++marque_ == 0) {
        // After 2^32 matchings the marks come round: clear them once.
        for (Fente& f : fentes_) f.marque = 0;
        marque_ = 1;
    }
    const int bitsFiltre = std::max(bits + 5, 6);
    decalageFiltre_ = 64 - bitsFiltre;
    const std::size_t mots = std::size_t(1) << (bitsFiltre - 6);
    if (filtre_.size() < mots) filtre_.resize(mots);
    std::fill(filtre_.begin(), filtre_.begin() + static_cast<long>(mots), 0);
    ranger(nA);
    const std::size_t nB = developper(m, premiersB_, facteursB_.data(), m.c, dB_.data(), rB_.data());
    // Ctrl-C looked at between matchings, as often as the listing does.
    noeuds_ += static_cast<long>(nA + nB);
    if (noeuds_ >= PAS_INTERRUPTION) {
        noeuds_ = 0;
        if (arrete()) {
            coupe = true;
            return;
        }
    }
    chercherPartenaires(m, nB);
}

}  // namespace egypte
