// What is fixed once a problem is set up (Recherche::poser): the problem,
// its constraints, the bounds derived from them, and how the engine runs.
// Read only by the walk; copied whole to every worker, rank and probe.
#ifndef EGYPTE_MARCHE_CADRE_H
#define EGYPTE_MARCHE_CADRE_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace egypte {

using NTL::ZZ;
using NTL::Vec;

// How the engine runs: set by the front ends' requests (the threads) and by
// the tests that hold every path against the plain walk (the rest).
struct Conduite {
    int simple = 0;     // 1 = the plain walk alone (the reference, for tests and benchmark); 0 = the fast search
    int fils = 0;       // threads of a walk; 0 = from EGYPTE_FILS, or every core
    // Settings of the fast search, changed only by the tests so that every
    // path is run on small problems: q, p and the range are handled in machine
    // words when they have at most bitsMots bits (62, which keeps every
    // product within 128 bits), in big integers otherwise; methode 0 chooses
    // by the counts between listing the divisors, matching their residues mod
    // p in two halves and stepping the range; 1 always lists, 2 always steps,
    // 3 always matches (in machine words; big integers list); avant 1 = the
    // values of x[n-2] are also run through in machine words, 0 = only the
    // penultimate position is.
    int bitsMots = 62;
    int methode = 0;
    int avant = 1;
    // Q and the placed unknowns are factored in machine words when they have
    // at most bitsFacteurs bits (64), by the big-integer factoring otherwise,
    // and their primes of more than min(bitsFacteurs, 63) bits are kept as big
    // integers; the tests lower it so that small problems take those paths.
    int bitsFacteurs = 64;
    // Expansions a work unit may hold before it hands the rest of its subtree
    // back as smaller units (bounds the memory of a walk whatever its count);
    // the work (walk steps and values of x[n-2]) after which it does the same
    // even with few expansions, so that a heavy subtree that yields little is
    // shared between the threads instead of holding one while the others wait
    // for it in the walk's order; and the work units aimed at per thread when
    // their depth is chosen. Changed only by the tests, so that cutting
    // happens on small problems.
    std::size_t plafondUnite = std::size_t(1) << 16;
    std::int64_t plafondTravail = std::int64_t(1) << 16;
    // The work quota of the units of a walk dealt out between processes: there
    // the rest of a cut unit goes back through the process that deals, which
    // costs more than a hand-over between threads (1 as 8 on two ranks of one
    // machine: 1.22 times one process's time at the threads' quota, 1.07 at
    // sixteen times it, 0.99 with none).
    std::int64_t plafondTravailReseau = std::int64_t(1) << 20;
    int unitesParFil = 64;
    // Values of x[n-2] in one unit when the rest of a cut unit is shared out
    // at that depth. The fast search sets up once per run of values (the
    // primes of what x[1..n-3] leave, the bounds), so a unit of few values
    // pays that set-up for little work: 27538/27539, whose heavy ranges of
    // x[n-2] run to millions of values, took 15 % more processor time on two
    // threads than on one with units of 32 values, a few percent with 1024.
    // Changed only by the tests, so that such runs are cut on small problems
    // too.
    int valeursParUnite = 1024;
};

struct Cadre : Conduite {
    // --- The problem ---------------------------------------------------------
    ZZ P1;      // numerator as entered (at least 1)
    ZZ Q1;      // denominator as entered (at least 1)
    ZZ pg;      // gcd(P1, Q1), kept for the report
    ZZ P;       // P1 / pg: numerator in lowest terms, used by the search
    ZZ Q;       // Q1 / pg: denominator in lowest terms, used by the search

    // --- The constraints -----------------------------------------------------
    int type = 2;    // 2 = all unknowns different, 1 = unknowns may be equal
    int parite = 0;  // 0 = any parity, 1 = all odd, 2 = all even
    int z = 1;       // distance between two admissible values of one unknown (1 or 2)
    ZZ minax;        // minimum for x1 as entered; 0 = none
    ZZ minx{1};      // effective minimum for every unknown (>= 1, right parity)
    ZZ Ma;           // maximum for xn as entered; 0 = none
    ZZ M;            // effective maximum for the unknowns (right parity); 0 = none
    ZZ minn;         // minimum for n as entered; 0 = none
    ZZ maxn2;        // maximum for n as entered; 0 = none
    ZZ maxn;         // effective maximum for n (lowered to majn); 0 = none
    ZZ majn;         // floor(P*M/Q), the largest length M allows; 0 without maximum
    ZZ min1n;        // ceil(P*minx/Q), the smallest length minx allows; 0 without constraints
    int pas1 = 0;    // 1 = the value 1 is excluded for the first unknown
};

}  // namespace egypte

#endif
