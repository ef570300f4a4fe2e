// The size of the walk of one length, estimated before a long count (Knuth's
// estimator of a backtracking tree). A probe goes down the walk's tree from
// its root, choosing one child at random at each node; the product W of the
// numbers of children along its path is the number of nodes that the node it
// stands on represents, so what it meets there (expansions, walk steps, time)
// counts W times. Every probe is an unbiased estimate of the whole tree; their
// mean, with its standard error, is the estimate.
//
// The probes stop at depth D = n - 3 by default, the deepest node whose
// subtree can be walked on its own (below it the fast search runs through
// x[n-2] and x[n-1] in one go), and walk that subtree exactly. The deeper the
// exact walk starts, the cheaper a probe and the more of them in a given
// time: on 1 as 8 distinct unit fractions, D = 5 gives tens of thousands of
// probes a second and a smaller standard error in ten seconds than D = 4,
// with 40 times fewer probes, while at D = 2 a single probe can take minutes.
//
// Uniform probes from the root seldom reach the heavy branches (the extremes
// of a long length, where the denominators are largest), so their mean and
// its error both tend to come out low. So the estimate is stratified: the walk
// is enumerated exactly down to the deepest level, down to D, of at most
// NOEUDS nodes; those nodes are sorted by a guess at their subtree's size and
// cut into strata, each probed apart, the probes allotted by the spread each
// stratum shows in a pilot (estimation.cpp). With a single node to stratify
// (ReglagesEstimation::noeuds = 1), it is Knuth's plain estimator from the
// root.
//
// The standard error is itself estimated from the probes: when the time given
// is a small share of the count's, it can still be too small.
//
// Only the estimates are doubles; every node and subtree is the search's own,
// in exact arithmetic.
#ifndef EGYPTE_SEARCH_ESTIMATION_H
#define EGYPTE_SEARCH_ESTIMATION_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "egypte/egypte.h"
#include "search/etat.h"
#include "search/parallele.h"

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
Recherche::Longueur poserLongueur(Recherche& s, int n, Recherche::Fin& pourquoi);

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
// it meets is weighted as part of the subtree of `depart`.
Sondage sonder(const Recherche& c, const Noeud& depart, Tirage& tirage, long bloc = BLOC);

// The estimate for the length n of the problem set up in s (by poser): the
// length is set up exactly as the search over lengths would set it up, then
// probed. A probe is never cut by the time: the last one may end after
// `secondes`, by far when it meets a heavy subtree. Stops at Ctrl-C (the flag
// `interrompu`, which the caller listens for): the probes complete by then
// are kept.
Estimation estimer(Recherche& s, int n, const ReglagesEstimation& r);

}  // namespace egypte

#endif
