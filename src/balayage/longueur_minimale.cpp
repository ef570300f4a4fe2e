// The minimal length of one fraction, for the scan, where it must cost
// microseconds. The engine's search walks each length in decreasing
// lexicographic order and stops at the first expansion: proving that a short
// length has none is cheap, but the first expansion of the minimal length
// lies deep in its walk (its largest x1 come first, whose subtrees are the
// largest). Only whether one exists matters here, and one is found at once
// among the smallest x1 (the greedy side): so, for the fractions below 1
// without a constraint on the values, each length from 4 on is first tried
// by a short search in increasing x1, x2, ..., the engine settling the last
// two unknowns; when that search is cut short, the engine's walk decides.
#include "egypte/balayage.h"
#include "marche/probleme.h"


namespace egypte {

namespace {

using NTL::ZZ;

// Calls of the engine one length may spend in increasing order before its
// walk decides. An expansion is nearly always the first or the second one
// tried; past them the walk decides sooner, and it is the only one that can
// prove a length empty cheaply. Measured on q = 1990..2000, one thread:
// 0.46 s with 2 calls, 0.51 s with 4, 0.69 s with 16, 1.6 s with the walk
// alone.
constexpr long BUDGET = 2;

enum class Issue { trouve, aucune, epuise, interrompue };

Resultat premiere(const Probleme& pb)
{
    Demande d;
    d.montrer = Montrer::premieres;
    d.K = 1;
    d.fils = 1;
    return chercher(pb, d);
}

// The engine's minimal length of pb over the lengths lo..hi; `limite` when
// it met none up to LONGUEUR_MAX.
Issue parLeMoteur(Probleme pb, long lo, long hi, int& n, bool& limite)
{
    pb.longueur = 0;
    pb.longueurMin = 0;
    pb.longueurMax = 0;
    if (lo == hi) pb.longueur = lo;
    else {
        if (lo > 1) pb.longueurMin = lo;
        if (hi < LONGUEUR_MAX) pb.longueurMax = hi;
    }
    const Resultat r = premiere(pb);
    if (r.fin == Fin::interrompue) return Issue::interrompue;
    n = r.longueur;
    limite = r.fin == Fin::limite;
    return r.solutions > 0 ? Issue::trouve : Issue::aucune;
}

LongueurMinimale reponse(Issue i, int n, bool limite)
{
    LongueurMinimale r;
    switch (i) {
    case Issue::trouve:
        r.issue = LongueurMinimale::Issue::trouvee;
        r.n = n;
        break;
    case Issue::interrompue:
        r.issue = LongueurMinimale::Issue::interrompue;
        break;
    case Issue::aucune:
    case Issue::epuise:
        r.issue = limite ? LongueurMinimale::Issue::limite : LongueurMinimale::Issue::aucune;
        break;
    }
    return r;
}

// Is there an expansion of rn/rd in `reste` unknowns from `lo` on (type 1:
// equal ones allowed)? In increasing order, the engine taking the last two.
Issue exister(Inconnues type, const ZZ& rn, const ZZ& rd, const ZZ& lo, long reste, long& budget)
{
    if (reste == 2) {
        if (budget-- <= 0) return Issue::epuise;
        Probleme pb;
        pb.inconnues = type;
        pb.numerateur = rn;
        pb.denominateur = rd;
        pb.minimumX1 = lo;
        pb.longueur = 2;
        const Resultat r = premiere(pb);
        if (r.fin == Fin::interrompue) return Issue::interrompue;
        return r.solutions > 0 ? Issue::trouve : Issue::aucune;
    }
    // 1/x below rn/rd (more unknowns follow), and x the smallest of `reste`
    // unknowns: reste/x >= rn/rd.
    ZZ x = rd / rn + 1;
    if (x < lo) x = lo;
    const ZZ fin = reste * rd / rn;
    Issue issue = Issue::aucune;
    ZZ n, d, g;
    for (; x <= fin; x++) {
        mul(n, rn, x);
        sub(n, n, rd);
        mul(d, rd, x);
        GCD(g, n, d);
        const Issue i = exister(type, n / g, d / g, type == Inconnues::distinctes ? x + 1 : x, reste - 1, budget);
        if (i == Issue::trouve || i == Issue::interrompue) return i;
        if (i == Issue::epuise) return i;
    }
    return issue;
}

}  // namespace

LongueurMinimale longueurMinimale(const Probleme& c, const ZZ& p, const ZZ& q)
{
    Probleme pb = c;
    pb.numerateur = p;
    pb.denominateur = q;
    verifier(pb);
    const Longueurs l = longueursPermises(pb);
    // No length searched is allowed: none up to LONGUEUR_MAX, as the single
    // search says.
    if (l.auDela()) return reponse(Issue::aucune, 0, true);
    long lo = l.premiere, hi = std::min(l.derniere, LONGUEUR_MAX);
    int n = 0;
    bool limite = false;
    // Every value allowed and P/Q < 1: every length from the greedy
    // expansion's on has expansions, so the lengths below are all there is.
    const bool libre = pb.parite == Parite::indifferente && IsZero(pb.minimumX1) && IsZero(pb.maximumXn) && pb.debut.empty() && p < q;
    if (!libre || lo > hi) {
        const Issue i = lo <= hi ? parLeMoteur(pb, lo, hi, n, limite) : Issue::aucune;
        return reponse(i, n, limite);
    }
    // The short lengths in one walk.
    if (lo <= 3) {
        const Issue i = parLeMoteur(pb, lo, std::min(hi, 3L), n, limite);
        if (i != Issue::aucune) return reponse(i, n, limite);
        lo = 4;
    }
    NTL::ZZ g, P, Q;
    GCD(g, p, q);
    P = p / g;
    Q = q / g;
    for (long k = lo; k <= hi; k++) {
        long budget = BUDGET;
        Issue i = exister(pb.inconnues, P, Q, ZZ(1), k, budget);
        if (i == Issue::epuise) i = parLeMoteur(pb, k, k, n, limite);
        if (i == Issue::trouve) return reponse(i, static_cast<int>(k), false);
        if (i == Issue::interrompue) return reponse(i, 0, false);
    }
    // Every length up to hi is empty: past it, the limit when hi is the
    // limit and more lengths were allowed.
    return reponse(Issue::aucune, 0, hi == LONGUEUR_MAX && l.derniere > LONGUEUR_MAX);
}

}  // namespace egypte
