#include "facteurs/cache_facteurs.h"

#include <algorithm>

namespace egypte {

using NTL::ZZ;

bool CacheFacteurs::decomposer(const ZZ& v, int bits, Decomposition& d)
{
    if (d.faite && d.valeur == v) return d.complete;
    d.valeur = v;
    d.faite = true;
    d.complete = false;
    d.f.clear();
    d.grands.clear();
    if (sign(v) <= 0) return false;
    // Primes beyond 63 bits are kept as big integers: the big-integer listing
    // multiplies by machine primes as signed words.
    const int mot = std::min(bits, 63);
    if (NumBits(v) <= std::min(bits, 64)) {
        Puissance tab[16];
        const int k = factoriser64(static_cast<std::uint64_t>(to_ulong(v)), tab);
        for (int a = 0; a < k; a++) {
            if ((tab[a].p >> mot) == 0) d.f.push_back(tab[a]);
            else d.grands.push_back(NTL::conv<ZZ>(static_cast<unsigned long>(tab[a].p)));
        }
    } else {
        if (!factoriserGrand(v, tampon_)) return false;
        for (const PuissanceZ& t : tampon_) {
            if (NumBits(t.p) <= mot) d.f.push_back(Puissance{static_cast<std::uint64_t>(to_ulong(t.p)), t.e});
            else d.grands.push_back(t.p);
        }
    }
    d.complete = true;
    return true;
}

bool CacheFacteurs::rassembler(int k, const ZZ& q0, const NTL::Vec<ZZ>& x, int bits, std::vector<Puissance>& premiers,
                               std::vector<ZZ>& grands)
{
    premiers.clear();
    grands.clear();
    if (cases_.size() < static_cast<std::size_t>(x.length())) cases_.resize(x.length());
    for (int a = 0; a < k; a++) {
        Decomposition& d = cases_[a];
        if (!decomposer(a == 0 ? q0 : x[a], bits, d)) return false;
        for (const Puissance& f : d.f) {
            bool vu = false;
            for (const Puissance& g0 : premiers) vu = vu || g0.p == f.p;
            if (!vu) premiers.push_back(Puissance{f.p, 0});
        }
        for (const ZZ& g : d.grands)
            if (std::find(grands.begin(), grands.end(), g) == grands.end()) grands.push_back(g);
    }
    return true;
}

}  // namespace egypte
