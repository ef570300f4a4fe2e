// The fast search at the position before the penultimate one: x[n-2] through
// its range, in machine words.
//
// With x[1..n-3] placed and R3 = p3/q3 left, each value v of x[n-2] leaves
// R = p3/q3 - 1/v for the last two unknowns. The walk would spend a bound
// computation, a descent and a backtrack on each v in big integers; here the
// same decisions are taken in machine words: the bounds of x[n-1] (exactly as
// the bound computation finds them, Type 2 window included), the step's
// verdict, the range of x[n-1] by its divisors, and the backtrack as long as
// it only lowers x[n-2] by z. Anything else (a rare branch, a value that does
// not fit) hands the state back to the walk at the point it has reached.
#include <algorithm>

#include "commun/avancement.h"
#include "marche/collecte.h"
#include "marche/recherche.h"

namespace egypte {

namespace {

u64 versU64(const ZZ& v) { return static_cast<u64>(to_ulong(v)); }

}  // namespace


// Sign of 1/rm + 1/(rm+z) - p/q, for rm below 2^62.
int Recherche::signeFenetreMots(u64 rm, u64 p, u64 q)
{
    const u128 gauche = static_cast<u128>(q) * (2 * rm + static_cast<u64>(cadre.z));
    u128 droite;
    if (__builtin_mul_overflow(static_cast<u128>(p) * rm, static_cast<u128>(rm + cadre.z), &droite)) return -1;
    return gauche > droite ? 1 : (gauche < droite ? -1 : 0);
}

// The bound computation for x[n-1] with x[n-2] = v and R = p/q after it:
// mrr = minr[n-1], r1 its upper bound, reste0 whether the completion from r1
// is exact. False when a value leaves machine words.
bool Recherche::bornesSuivantes(u64 v, u64 p, u64 q, u64& mrr, u64& r1, bool& reste0)
{
    u64 mr = q / p;
    if (cadre.parite == 0) mr += 1;
    else mr += ((cadre.parite == 1) == ((mr & 1) != 0)) ? 2 : 1;
    if (cadre.type == 1) {
        const u64 dd = 2 * q;  // q < 2^62
        if ((dd / p) >> 62) return false;
        r1 = dd / p;
        reste0 = dd % p == 0;
    } else {
        // The window of two values from the first admissible start, moved up
        // at once to ceil(2/R) - z, below which its sum is above R.
        u64 rm = std::max<u64>(v + cadre.z, mr);
        const u64 c2 = (2 * q + p - 1) / p;
        if (c2 > static_cast<u64>(cadre.z) && c2 - cadre.z > rm)
            rm += (c2 - cadre.z - rm + cadre.z - 1) / cadre.z * cadre.z;
        for (;;) {
            if (rm >> 62) return false;
            if (signeFenetreMots(rm, p, q) <= 0) break;
            rm += cadre.z;
        }
        r1 = rm;
        reste0 = signeFenetreMots(rm, p, q) == 0;
    }
    if (brouillon.Mw != 0 && r1 > brouillon.Mw) {
        r1 = brouillon.Mw;
        reste0 = static_cast<u128>(brouillon.Mw) * p == static_cast<u128>(q) * 2;
    }
    if ((cadre.parite == 1 && !(r1 & 1)) || (cadre.parite == 2 && (r1 & 1))) {
        if (r1 < 2) return false;
        r1 -= 1;
        if (cadre.type == 1) reste0 = static_cast<u128>(r1) * p == static_cast<u128>(q) * 2;
        else reste0 = signeFenetreMots(r1, p, q) == 0;
    }
    mrr = std::max(mr, brouillon.minxMots);
    return true;
}

// x[n-2] = v back into the running sum, i = n-2: the state as the walk holds
// it before its step there (or before its backtrack from there).
void Recherche::rendre(u64 v)
{
    const int k = marche.n - 2;
    conv(marche.x[k], static_cast<unsigned long>(v));
    marche.plu();
    marche.i = k;
}

// x[n-1] = w placed as well, with its minimum mrr (the walk's own backtrack
// from n-1 next, or its own step when the range could not be done here).
void Recherche::rendreSuivant(u64 v, u64 mrr, u64 w)
{
    const int k = marche.n - 2;
    rendre(v);
    conv(marche.minr[k + 1], static_cast<unsigned long>(mrr));
    conv(marche.x[k + 1], static_cast<unsigned long>(w));
    marche.i = k + 1;
    marche.plu();
}

// One value v of x[n-2]: R = p3/q3 - 1/v left for the last two unknowns, the
// bounds of x[n-1] and the step's verdict, then the range of x[n-1].
Recherche::ApresValeur Recherche::valeurAvant(Avant& a, u64 v)
{
    const int k = marche.n - 2;
    conv(marche.x[k], static_cast<unsigned long>(v));
    // R = p3/q3 - 1/v, in lowest terms.
    const u128 a3 = static_cast<u128>(a.p3) * v;
    const u128 den = static_cast<u128>(a.q3) * v;
    // Ctrl-C, a work unit that holds its quota of expansions, or the
    // first value of the next unit: the state as the walk would hold it
    // between two steps.
    if (arrete() || (collecte != nullptr && collecte->plein(cadre.plafondUnite)) || v == arretAvant) {
        rendre(v);
        return ApresValeur::rendue;
    }
    if (collecte != nullptr) collecte->travailler();
    if (a3 <= a.q3 || (den >> cadre.bitsMots) != 0 || (k == 1 && v < a.minr1)) {
        rendre(v);
        return ApresValeur::marche;
    }
    const u128 num = a3 - a.q3;
    const u64 g0 = reduction(v, num);
    const u128 pg = g0 == 1 ? num : ((num >> 64) == 0 ? static_cast<u64>(num) / g0 : num / g0);
    if ((pg >> cadre.bitsMots) != 0) {
        rendre(v);
        return ApresValeur::marche;
    }
    const u64 p = static_cast<u64>(pg), q = static_cast<u64>(den) / g0;
    u64 mrr = 0, r1;
    bool reste0;
    if (!bornesSuivantes(v, p, q, mrr, r1, reste0)) {
        rendre(v);
        return ApresValeur::marche;
    }
    const bool echec = mrr > r1 || (brouillon.Mw != 0 && static_cast<u128>(brouillon.Mw) * p < static_cast<u128>(q) * 2);
    const bool descend = !echec && (cadre.type == 2 ? v < r1 : v <= r1);
    if (descend && reste0) {
        // The completion from r1 is itself an expansion: the walk's step.
        rendre(v);
        return ApresValeur::marche;
    }
    progres::tic();
    if (descend) return plageAvant(a, v, p, q, r1, mrr);
    // The step fails: the backtrack from k lowers x[k] by z when the
    // new value stays at least minr[k] and off its predecessor.
    const bool baisse = v >= a.mr2 + cadre.z && (cadre.type == 2 ? v != a.x3 + cadre.z : v > a.x3);
    if (baisse) return ApresValeur::suivante;
    rendre(v);
    reculer();
    return ApresValeur::rendue;
}

// g, the common factor of num = p3 v - q3 and q3 v, so that p3/q3 - 1/v =
// (num/g)/(q3 v/g) in lowest terms: a prime of g divides v and q3 (it divides
// neither p3 nor, when it misses v, num), so g is found from the primes of v
// alone, without a gcd. Keeps the primes of v (premiersV) and their
// exponents in q3 v / g (exposantsQ).
u64 Recherche::reduction(u64 v, u128 num)
{
    brouillon.nbPremiersV = factoriser64(v, brouillon.premiersV);
    u64 g = 1;
    for (int j = 0; j < brouillon.nbPremiersV; j++) {
        const u64 pr = brouillon.premiersV[j].p;
        brouillon.exposantsQ[j] = brouillon.premiersV[j].e;
        brouillon.rangsV[j] = rangDansBase(pr);
        if (brouillon.rangsV[j] < 0) continue;
        const int eDen = brouillon.base[static_cast<std::size_t>(brouillon.rangsV[j])].e + brouillon.premiersV[j].e;
        // Its exponent in g: in num, up to that in the denominator (num
        // divided in a machine word when it fits one).
        auto dans = [&](auto r) {
            int e = 0;
            for (; e < eDen && r % pr == 0; r /= pr) e++;
            return e;
        };
        const int eg = (num >> 64) == 0 ? dans(static_cast<u64>(num)) : dans(num);
        for (int t = 0; t < eg; t++) g *= pr;
        brouillon.exposantsQ[j] = eDen - eg;
    }
    return g;
}

// The place of the prime pr among those of q3 (base), -1 when it is not one:
// read from a table for the small primes, which most primes of v are.
int Recherche::rangDansBase(u64 pr) const
{
    if (pr < brouillon.rangsBase.size()) return brouillon.rangsBase[pr];
    for (std::size_t b = 0; b < brouillon.base.size(); b++)
        if (brouillon.base[b].p == pr) return static_cast<int>(b);
    return -1;
}

// base <- the primes of q3 (in facteurs), and the table of their places.
void Recherche::poserBase()
{
    if (brouillon.rangsBase.empty()) brouillon.rangsBase.assign(1024, -1);
    for (const Puissance& f : brouillon.base)
        if (f.p < brouillon.rangsBase.size()) brouillon.rangsBase[f.p] = -1;
    brouillon.base = brouillon.facteurs;
    for (std::size_t b = 0; b < brouillon.base.size(); b++)
        if (brouillon.base[b].p < brouillon.rangsBase.size())
            brouillon.rangsBase[brouillon.base[b].p] = static_cast<std::int8_t>(b);
}

// The primes of q = q3 v / g with their exponents in q and the number of
// divisors of q^2: those of q3 (base), the largest first, with the exponents
// the reduction left to the primes of v among them, then the other primes
// of v.
void Recherche::exposantsAvant(double& tau)
{
    brouillon.facteurs.assign(brouillon.base.begin(), brouillon.base.end());
    bool zero = false;
    for (int j = 0; j < brouillon.nbPremiersV; j++) {
        if (brouillon.rangsV[j] >= 0)
            brouillon.facteurs[static_cast<std::size_t>(brouillon.rangsV[j])].e = brouillon.exposantsQ[j];
        else brouillon.facteurs.push_back(Puissance{brouillon.premiersV[j].p, brouillon.exposantsQ[j]});
        zero = zero || brouillon.exposantsQ[j] == 0;
    }
    // A prime of q3 that the reduction took away entirely (seldom).
    if (zero) brouillon.facteurs.erase(std::remove_if(brouillon.facteurs.begin(), brouillon.facteurs.end(), [](const Puissance& f) { return f.e == 0; }),
                             brouillon.facteurs.end());
    tau = 1;
    for (const Puissance& f : brouillon.facteurs) tau *= 2 * f.e + 1;
}

// With x[n-2] = v and R = p/q after it: x[n-1] from r1 down to the last value
// the backtrack lets it take (its minimum mrr), then the backtrack from n-1.
Recherche::ApresValeur Recherche::plageAvant(Avant& a, u64 v, u64 p, u64 q, u64 r1, u64 mrr)
{
    const u64 v0r = r1;
    u64 lo2 = cadre.type == 2 ? v + 1 : (v + 1 > static_cast<u64>(cadre.z) ? v + 1 - cadre.z : 0);
    lo2 = std::max(lo2, mrr);
    const u64 vl = v0r >= lo2 ? v0r - (v0r - lo2) / cadre.z * cadre.z : v0r;
    if (static_cast<u128>(p) * vl <= q) {
        rendreSuivant(v, mrr, v0r);
        return ApresValeur::rendue;
    }
    double tau;
    exposantsAvant(tau);
    bool apparie, pas;
    choisir(static_cast<double>((v0r - vl) / cadre.z) + 1, tau, static_cast<double>(p), true, apparie, pas);
    plageMots(a.m, p, q, v0r, vl);
    const FinPlage fin = parcourirMots(a.m, apparie, pas);
    if (fin != FinPlage::complete) {
        rendreSuivant(v, mrr, fin == FinPlage::arret ? brouillon.arretA : v0r);
        reculer();
        return ApresValeur::rendue;
    }
    // The backtrack from k+1, x[k+1] = vl: it withdraws to k when x[k+1]
    // has no candidate left (below minr[k+1], or onto x[k]), then lowers
    // x[k] as above (Type 1: a run of two equal values lowers x[k]
    // without looking at minr[k]).
    const bool retrait = vl < mrr + cadre.z;
    bool baisse;
    if (cadre.type == 2) baisse = (retrait || vl == v + cadre.z) && v >= a.mr2 + cadre.z && v != a.x3 + cadre.z;
    else if (retrait) baisse = v >= a.mr2 + cadre.z && v > a.x3;
    else baisse = vl == v && v > static_cast<u64>(cadre.z) && v != a.x3;
    if (baisse) return ApresValeur::suivante;
    rendreSuivant(v, mrr, vl);
    reculer();
    return ApresValeur::rendue;
}

// Whole ranges of x[n-2] at once. False when the walk's own step must run
// now: on the state as it came, or as handed back at the value reached.
bool Recherche::avantDernier()
{
    const int k = marche.n - 2;
    if (!cadre.avant || k < 1 || marche.i != k || marche.x[1] < marche.minr[1]) return false;
    if (NumBits(cadre.minx) > 62 || NumBits(marche.x[k]) > cadre.bitsMots || NumBits(marche.minr[k]) > 62) return false;
    if (!rassembler(k)) return false;

    resteSansDernier();
    double tau;
    if (sign(brouillon.pz) <= 0 || NumBits(brouillon.qz) > cadre.bitsMots || NumBits(brouillon.pz) > cadre.bitsMots ||
        !exposantsMots(versU64(brouillon.qz), tau)) {
        marche.plu();
        return false;
    }
    poserBase();
    Avant a;
    a.p3 = versU64(brouillon.pz);
    a.q3 = versU64(brouillon.qz);
    a.x3 = versU64(marche.x[k - 1]);
    a.mr2 = versU64(marche.minr[k]);
    a.minr1 = versU64(marche.minr[1]);
    brouillon.minxMots = versU64(cadre.minx);
    brouillon.Mw = (!IsZero(cadre.M) && NumBits(cadre.M) <= 63) ? versU64(cadre.M) : 0;
    borneMots(a.m);
    marche.prefixe++;

    for (u64 v = versU64(marche.x[k]);; v -= cadre.z) {
        const ApresValeur suite = valeurAvant(a, v);
        if (suite != ApresValeur::suivante) return suite == ApresValeur::rendue;
    }
}

}  // namespace egypte
