// Listing the divisors of q^2 under the range's bound, depth-first, or
// stepping the range when it is the shorter list.
#include "facteurs/diviseurs.h"

#include <algorithm>

#include "commun/avancement.h"

namespace egypte {

void Mots::plage(u64 p0, u64 q0, u64 v00, u64 vlast0, int z0, bool distinctes)
{
    p = p0;
    q = q0;
    c = (p - q % p) % p;
    mod.fixer(p);
    q2 = static_cast<u128>(q) * q;
    v0 = v00;
    vlast = vlast0;
    z = z0;
    const u128 hi = static_cast<u128>(p) * v0 - q;
    const u128 bas = static_cast<u128>(p) * vlast - q;
    const u64 dmax = distinctes ? q - 1 : q;
    dhi = hi < dmax ? static_cast<u64>(hi) : dmax;
    dlo = bas < 1 ? 1 : (bas > dmax ? dmax + 1 : static_cast<u64>(bas));
}

bool Mots::complete(u64 d, u64& av, u128& bv) const
{
    av = (q + d) / p;
    if (z == 2 && ((v0 - av) & 1)) return false;
    bv = (static_cast<u128>(q) + q2 / d) / p;
    if (impair && !(bv & 1)) return false;
    if (pair && (bv & 1)) return false;
    if (borne && bv > Mb) return false;
    return true;
}

bool Mots::convient(u64 d) const
{
    if (impair || pair || borne) {
        u64 av;
        u128 bv;
        return complete(d, av, bv);
    }
    return z != 2 || ((v0 - (q + d) / p) & 1) == 0;
}

void Diviseurs::chercher(const Mots& m, const std::vector<Puissance>& premiers, bool apparie, bool pas)
{
    noeuds_ = 0;
    coupe = false;
    candidats.clear();
    premiers_ = &premiers;
    enOrdre_ = pas;
    if (m.dlo > m.dhi) return;
    if (pas) parcourirPlage(m);
    else if (apparie) apparier(m);
    else lister(m, 0, 1);
}

void Diviseurs::trier()
{
    if (!enOrdre_) std::sort(candidats.begin(), candidats.end(), [](u64 u, u64 v) { return u > v; });
    enOrdre_ = true;
}

void Diviseurs::parcourirPlage(const Mots& m)
{
    // One division per value of a, in the walk's order already.
    for (u64 av = m.v0;; av -= m.z) {
        const u128 d = static_cast<u128>(m.p) * av - m.q;
        if (d >= m.dlo && d <= m.dhi && m.q2 % static_cast<u64>(d) == 0) candidats.push_back(static_cast<u64>(d));
        if (av == m.vlast) break;
        if (++noeuds_ % PAS_INTERRUPTION == 0 && arrete()) {
            coupe = true;
            break;
        }
    }
}

void Diviseurs::lister(const Mots& m, std::size_t idx, u64 d)
{
    if (coupe) return;
    const std::vector<Puissance>& f = *premiers_;
    if (idx + 1 >= f.size()) {
        // The last prime, the smallest and so the one with the most powers
        // under the bound, in a loop rather than one call per divisor.
        const u64 pr = idx < f.size() ? f[idx].p : 1;
        const int e2 = idx < f.size() ? 2 * f[idx].e : 0;
        for (int t = 0;; t++) {
            if (d >= m.dlo && m.mod.reduire(d) == m.c) candidats.push_back(d);
            if (++noeuds_ % PAS_INTERRUPTION == 0 && arrete()) {
                coupe = true;
                return;
            }
            if (t == e2 || static_cast<u128>(d) * pr > m.dhi) return;
            d *= pr;
        }
    }
    const u64 pr = f[idx].p;
    const int e2 = 2 * f[idx].e;
    for (int t = 0;; t++) {
        lister(m, idx + 1, d);
        if (t == e2 || static_cast<u128>(d) * pr > m.dhi) break;
        d *= pr;
    }
}

}  // namespace egypte
