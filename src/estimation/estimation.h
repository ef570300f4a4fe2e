// The size of the walk of one length, estimated before a long count (Knuth's
// estimator of a backtracking tree, with importance sampling). A probe goes
// down the walk's tree, drawing at each node one of the values the walk
// tries for the next unknown, each with a known chance; what it meets at the
// end counts over the chance of its path, so every probe is an unbiased
// estimate of the whole tree; their mean, with its standard error, is the
// estimate.
//
// The count sits in rare heavy branches: near the bottom of each unknown's
// range (little left after it, so the unknowns below run through wide
// ranges, 6.5 million values of x6 under 2, 3, 7, 43, 1807 at length 8, and
// near x6 = 3263443 thousands of expansions for each value where a typical
// one has none). So the chance of a value follows a guess at its subtree's
// size (the inverse of what is left after it, to the power of the unknowns
// left less two) rather than being uniform, and a probe never walks a whole
// subtree it cannot bound: it draws down to depth n - 3 and there walks at
// most a block of BLOC values of x[n-2], with the fast search, which settles
// x[n-1] and x[n] from divisors. Its work is bounded whatever the tree; an
// unbounded one (a node that took minutes) held a run past its time and left
// 1 as 9 without an estimate.
//
// The estimate is also stratified: the walk is enumerated exactly down to
// the deepest level, down to n - 3, of at most NOEUDS nodes; those nodes are
// sorted by the same guess and cut into strata, each probed apart, the
// probes allotted by the spread and the time per probe each stratum shows in
// a pilot (estimation.cpp). With a single node to stratify
// (ReglagesEstimation::noeuds = 1), the probes all start from the root.
//
// The standard error is itself estimated from the probes: when a stratum's
// heavy values are rare enough that its probes missed them, it is too small.
//
// Only the estimates are doubles; every node and subtree is the search's own,
// in exact arithmetic.
#ifndef EGYPTE_ESTIMATION_ESTIMATION_H
#define EGYPTE_ESTIMATION_ESTIMATION_H

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "egypte/egypte.h"
#include "marche/recherche.h"
#include "marche/collecte.h"

namespace egypte {

struct ReglagesEstimation {
    double secondes = 5;       // time given to the probes
    long sondes = 0;           // that many probes instead (0: as many as `secondes` allows)
    std::uint64_t graine = 0;  // seed of the draws; 0: a seed drawn from std::random_device
    long noeuds = 0;           // at most that many nodes to stratify (0: NOEUDS)
    long strates = 0;          // about that many strata (0: STRATES)
    long bloc = 0;             // values of x[n-2] a probe walks at most (0: BLOC)
};

// The nodes stratified are those of the deepest level down to n - 3 that has
// at most NOEUDS: on 1 as 8 distinct unit fractions the 98450 nodes of depth 5.
constexpr std::size_t NOEUDS = 200000;
constexpr long STRATES = 256;
// Values of x[n-2] walked by one probe at most: the fast search runs through
// a few dozen of them in about the time it takes to set up their first.
constexpr long BLOC = 32;

// What one probe measured, each already multiplied by the weight of where it
// was met: the expansions, the nodes (one per node above depth n - 3, and the
// walk steps of its leaf, where one step of the fast search may run through
// several values of x[n-2]) and the time on this core.
struct Sondage {
    double developpements = 0;
    double noeuds = 0;
    double secondes = 0;
    double poids = 1;     // one over the chance of its path: what its leaf stands for
    double pas = 0;       // the walk steps of its leaf, unweighted: what the probe cost
    long valeurs = 0;     // the values of x[n-2] its leaf walked (at most the block)
    bool exact = true;    // nothing drawn: the whole subtree of the node it started from walked
    bool coupe = false;   // Ctrl-C came: the probe is incomplete
};

// Sets up the length n (n >= 1) of the problem set up in s (by poser)
// exactly as the search over lengths sets it up; `pourquoi` as for
// longueurSuivante. Ready to probe when the answer is aParcourir and s.i is 0.
Recherche::Longueur poserLongueur(Recherche& s, int n, Recherche::Issue& pourquoi);

// The draws of a probe: a part among parts of given weights (each with a
// chance in proportion to its weight), and a number below k (k >= 1, of any
// size), each as likely.
class Tirage {
public:
    virtual ~Tirage() = default;
    virtual std::size_t partie(const std::vector<double>& poids) = 0;
    virtual NTL::ZZ nombre(const NTL::ZZ& k) = 0;
};

// One probe of the walk of c's length (set up, i = 0; n >= 4): from the
// root down to depth n - 3, at each node one value drawn among those the
// walk tries for the next unknown, each with a chance in proportion to a
// guess at its subtree's size (the values cut into parts: the smallest few
// one by one, then ranges of doubling width, a part drawn with `partie` by
// the guess at its ends times its width, then a value in it with `nombre`);
// at depth n - 3 the whole subtree when x[n-2] takes at most `bloc` values,
// otherwise one block of `bloc` consecutive values drawn with `nombre` among
// those that cut its range from the top. What the leaf met counts over the
// chance of the path. A probe's work is bounded whatever the tree: n - 3
// bounds and their parts, and the fast search over at most `bloc` values of
// x[n-2].
Sondage sonder(const Recherche& c, Tirage& tirage, long bloc = BLOC);
// The same from `depart`, a node of that walk at depth at most n - 3; what
// it meets is weighted as part of the subtree of `depart`. When `arret` is
// set, the leaf's walk stops between two of its steps and the probe is cut.
Sondage sonder(const Recherche& c, const Noeud& depart, Tirage& tirage, long bloc = BLOC,
               const std::atomic<bool>* arret = nullptr);

using Horloge = std::chrono::steady_clock;

// Seconds since t0.
inline double depuis(Horloge::time_point t0) { return std::chrono::duration<double>(Horloge::now() - t0).count(); }

// The logarithm of a guess at the size of a subtree where `inverse` is the
// inverse of what is left and `m` + 2 unknowns are (sondage.cpp).
double logTaille(const Recherche& s, NTL::ZZ inverse, int m);

// The estimate for the length n of the problem set up in s (by poser): the
// length is set up exactly as the search over lengths would set it up, then
// probed. By time, it ends `secondes` after the start (or half a second
// after the strata are made, when making them took longer): a probe still
// walking then is cut and not counted, as the next one would not have been
// (each is bounded: a block of x[n-2] takes a few hundredths of a second at
// most on these problems). Stops at Ctrl-C (the flag `interrompu`, which the
// caller listens for, or the stop of this thread's search): the probes
// complete by then are kept.
Estimation estimer(Recherche& s, int n, const ReglagesEstimation& r);

}  // namespace egypte

#endif
