#include "search/cache_facteurs.h"

namespace egypte {

using NTL::ZZ;

bool CacheFacteurs::decomposer(const ZZ& v, Decomposition& d)
{
    if (d.faite && d.valeur == v) return d.complete;
    d.valeur = v;
    d.faite = true;
    d.complete = false;
    d.f.clear();
    if (sign(v) <= 0) return false;
    Puissance tab[16];
    if (NumBits(v) <= 64) {
        const int k = factoriser64(static_cast<std::uint64_t>(to_ulong(v)), tab);
        d.f.assign(tab, tab + k);
    } else {
        // Only large inputs (Q, or a large unknown) come here: the small primes
        // are divided out, and the rest must fit a machine word.
        ZZ reste = v;
        for (long p = 2; p < 100000 && NumBits(reste) > 64; p += (p == 2 ? 1 : 2)) {
            if (rem(reste, p) != 0) continue;
            int e = 0;
            while (rem(reste, p) == 0) {
                div(reste, reste, p);
                e++;
            }
            d.f.push_back(Puissance{static_cast<std::uint64_t>(p), e});
        }
        if (NumBits(reste) > 64) return false;
        const int k = factoriser64(static_cast<std::uint64_t>(to_ulong(reste)), tab);
        for (int a = 0; a < k; a++) {
            bool vu = false;
            for (Puissance& f : d.f)
                if (f.p == tab[a].p) {
                    f.e += tab[a].e;
                    vu = true;
                }
            if (!vu) d.f.push_back(tab[a]);
        }
    }
    for (const Puissance& f : d.f)
        if (f.p >> 63) return false;
    d.complete = true;
    return true;
}

bool CacheFacteurs::rassembler(int k, const ZZ& q0, const NTL::Vec<ZZ>& x, std::vector<Puissance>& premiers)
{
    premiers.clear();
    if (cases_.size() < static_cast<std::size_t>(x.length())) cases_.resize(x.length());
    for (int a = 0; a < k; a++) {
        Decomposition& d = cases_[a];
        if (!decomposer(a == 0 ? q0 : x[a], d)) return false;
        for (const Puissance& f : d.f) {
            bool vu = false;
            for (const Puissance& g0 : premiers) vu = vu || g0.p == f.p;
            if (!vu) premiers.push_back(Puissance{f.p, 0});
        }
    }
    return true;
}

}  // namespace egypte
