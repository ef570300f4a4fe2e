// One search: the state through which the routines of the search communicate,
// and those routines as its member functions. A Recherche holds one
// computation (the problem, its constraints, the length being tried, the walk,
// the listing) and the fast search's working values; two of them never share
// anything but the factor table (immutable once published) and the Ctrl-C
// flag, so several can run at once on several threads.
#ifndef EGYPTE_SEARCH_ETAT_H
#define EGYPTE_SEARCH_ETAT_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "search/avancement.h"
#include "search/cache_facteurs.h"
#include "search/diviseurs.h"
#include "search/sortie.h"
#include "search/probleme.h"

namespace egypte {

using NTL::ZZ;
using NTL::Vec;

// Largest length the search accepts: the vectors hold n + 1 entries and n is
// an int, so a longer length is refused with a message (TROP_LONG, which
// quotes this number) instead of overflowing.
constexpr long NMAX = 100000;

class Collecte;  // what a work unit hands back (parallele.h)
class Reseau;    // work units dealt out to other processes (reseau.h)

class Recherche {
public:
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

    // --- The length ----------------------------------------------------------
    int n = 0;     // length being tried; once an expansion is found, the minimal length
    ZZ nz;         // always equal to n, as a ZZ (compared with maxn)
    ZZ m0;         // copy of minx for the current length
    int T0 = 0;    // step between unknowns of the smallest admissible expansion (0 for Type 1)
    ZZ Pm0;        // numerator of the largest sum n admissible unknowns reach (reduced every 64 lengths)
    ZZ Qm0;        // denominator of that largest sum
    int nPm0 = 0;  // the length whose largest sum Pm0/Qm0 hold; 0 = none yet in this computation

    // --- The walk ------------------------------------------------------------
    int i = 0;      // number of placed unknowns; -1 = walk over or length settled
    Vec<ZZ> x;      // unknowns x[1..n]; x[0] = 0 is the predecessor of x[1]
    Vec<ZZ> minr;   // minr[k]: smallest admissible value of x[k]
    int sale = 0;   // 1 when a walk has written into x or minr since they were last cleared
    ZZ N;           // numerator of the running sum 1/x[1] + ... + 1/x[i] (never reduced)
    ZZ D{1};        // denominator of the running sum: product of the placed unknowns
    ZZ r;           // upper bound of the current step: largest candidate for x[i+1]
    ZZ reste;       // 0 exactly when the completion starting at r is exact
    ZZ divid;       // (n - i) * Q * D
    ZZ divis;       // P * D - Q * N: the remainder is divis / (Q * D)
    ZZ e;           // Type 1 backtrack: the value shared by a run of equal unknowns

    // Working values of the bound computation (read and written by maxi only).
    ZZ pd;   // P * Dk
    ZZ qn;   // Q * Nk
    ZZ qd;   // Q * Dk
    ZZ r1;   // upper bound while it is being worked out
    ZZ rm;   // first (smallest) value of the Type 2 window
    ZZ N1k;  // numerator of the window's reciprocal sum (never reduced)
    ZZ D1k;  // denominator of the window's reciprocal sum: product of its values
    ZZ d1;   // N1k*qd - D1k*divis: sign of (window sum - remainder)
    ZZ D0;   // product of the window's values without the first
    ZZ y;    // holds 1: the result of the end-of-walk exit
    ZZ t;    // scratch: the term entering the window
    ZZ w;    // scratch for comparisons and products, so the walk never allocates
    ZZ u;    // scratch result swapped into place: NTL copies an operand that is also the result

    // --- What was found -----------------------------------------------------
    std::int64_t K1 = 0;        // expansions found in this computation
    ZZ m;                       // largest xn among the expansions found
    ZZ m1;                      // smallest x1 among the expansions found
    bool arretDemande = false;  // the receiver asked the search to stop after the expansion just found

    // --- How the search runs -------------------------------------------------
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
    // Expansions a work unit may hold before it hands the rest of its subtree
    // back as smaller units (bounds the memory of a walk whatever its count),
    // and the work units aimed at per thread when their depth is chosen.
    // Changed only by the tests, so that cutting happens on small problems.
    std::size_t plafondUnite = std::size_t(1) << 16;
    int unitesParFil = 64;
    // Under a work unit made of some values of x[n-2]: the value of the next
    // unit, where the fast search's run over x[n-2] hands back; 0 = none.
    std::uint64_t arretAvant = 0;
    // Under a work unit for an output that only counts: the unit keeps no
    // expansion, only their count and extremes.
    bool compteSeul = false;
    // The work units of each walk go to other processes (nullptr: to this
    // process's threads).
    Reseau* reseau = nullptr;

    // While a walk runs on several threads: what the status line shows
    // (the search's own values are then written by another thread).
    progres::Avancement* avancement = nullptr;

    // A work unit's walk hands its expansions here instead of showing them
    // (nullptr: affiche shows them).
    Collecte* collecte = nullptr;
    // A front end other than the dialogue: the expansions go there, and
    // what it keeps of the computation (nullptr: the dialogue's display).
    Sortie* sortie = nullptr;
    int seule = 0;  // 1 when the length was settled by its single expansion, in x[1..n]

    // --- The routines --------------------------------------------------------
    // How a search over the lengths ended.
    enum class Fin {
        trouve,      // a length with expansions, listed (K1 > 0)
        aucune,      // no length left under the constraints
        tropLong,    // the next length would pass NMAX
        interrompu,  // Ctrl-C (or a step budget)
        arrete       // the answer -1 stopped the listing
    };
    // The set-up of a problem given whole (preparation.cpp), from the
    // dialogue's answers or the command line's options. false when no length
    // is left to try (aucune: the constraints leave none; tropLong: beyond
    // NMAX).
    bool poser(const Probleme& pb, Fin& pourquoi);
    // The search over increasing lengths (longueurs.cpp), the expansions to
    // affiche; prints nothing else.
    Fin chercher();
    // How the next length was set up (longueurSuivante).
    enum class Longueur {
        aParcourir,  // to be walked from i = 0, or ruled out by an exact test (i = -1)
        seule,       // P/Q is the largest sum that n admissible unknowns reach: one expansion
        auDela,      // even the smallest admissible expansion passes the maximum (i = -1)
        finie        // no length left to try, or Ctrl-C: `pourquoi` says which
    };
    // The search over lengths of a computation as chercher runs it, for a
    // caller other than chercher (the size estimate), so that it gets the very
    // same length (longueurs.cpp): avantLongueurs once, before the first
    // length (no largest sum at hand, the vectors emptied); longueurSuivante
    // sets up the next length, n + 1: the running sum, the counters, the
    // vectors of n + 1 entries and i = 0, then the exact tests that rule the
    // length out.
    void avantLongueurs();
    Longueur longueurSuivante(Fin& pourquoi);
    // The walk of the current length from i = 0, on one thread or several
    // (parallele.cpp).
    Fin parcourirLongueur();
    Fin parcourirSeul();  // the same on this thread alone

    // Running sum (somme.cpp): add or withdraw 1/x[i] from N/D, exactly.
    void plu();
    void moin();

    // Bounds of the next unknown x[k+1] (bornes.cpp). Returns the upper bound
    // (a reference to a value of this state, valid until the next call),
    // writes minr[k+1], reste, divid and divis, or sets i to -1 when the
    // placed unknowns already reach P/Q.
    const ZZ& maxi(int k, const ZZ& Dk, const ZZ& Nk);

    // One step of the Type 1 / Type 2 walk, and their backtracks (parcours.cpp).
    void suite();
    void suite2();
    void arriere();
    void arriere2();

    // One step of the search as the computation takes it: the fast search's
    // step (rapide.cpp) unless `simple` is set, the walk's step otherwise.
    void pas()
    {
        if (!simple) etape();
        else if (type == 2) suite2();
        else suite();
    }
    // The fast search's step: at the penultimate position it does in one call
    // everything the walk would do over that position's remaining range (every
    // expansion goes through affiche, a stop asked for stops it where the
    // walk would stop), then the walk's own backtrack. At the position before, it
    // runs through that position's values the same way for as long as the
    // walk would only lower it, and hands the state back to the walk at the
    // point reached otherwise. Anywhere else, and whenever the denominator
    // left cannot be factored or a value leaves machine words, it is the walk
    // step itself.
    void etape();

    // The expansion in x[1..n], found: to the work unit's collecte, or to
    // the front end's receiver (sortie), or only counted (parcours.cpp).
    void affiche();
    // The text of the status line (progres.cpp).
    void decrire(std::ostream& o) const;

private:
    // parcours.cpp
    void fin();
    void descendre();
    bool tropPetit();
    const ZZ& precedent(int k);

    // bornes.cpp
    void fenetre(int k);
    void signeFenetre();
    void sauter(int k);
    void resteEgaux();

    // longueurs.cpp
    void nouvelleLongueur();
    bool plusGrandeSomme();
    void seuleSolution();

    // preparation.cpp
    void bornesX();
    int bornesN();

    // --- The fast search (rapide.cpp, avant_dernier.cpp) ----------------------
    CacheFacteurs cache;             // factorisations of Q and of the placed unknowns
    std::vector<Puissance> facteurs; // the primes of q with their exponents in q
    std::vector<Puissance> base;     // the primes of q3 (the run over x[n-2])
    Diviseurs liste;                 // the divisors of a range, listed or matched
    std::vector<ZZ> candidatsZ;      // the same when q does not fit a machine word
    std::size_t nbZ = 0;             // entries of candidatsZ in use
    std::vector<ZZ> pileZ;           // pileZ[idx]: the divisor built from the primes before idx
    long noeudsZ = 0;                // nodes of the big-integer listing (looks at Ctrl-C)
    bool coupeZ = false;             // the big-integer listing was cut by Ctrl-C
    ZZ v0, lo, vlast, g, pz, qz, tz, uz, q2z, dloz, dhiz;
    u64 arretA = 0;             // x[n-1] of the expansion after which a range stopped
    u64 Mw = 0;                 // M when it has at most 63 bits; 0 when there is none
    u64 minxMots = 0;           // minx

    // How a range of x[n-1] ended: every value seen, stopped after an
    // expansion (-1 or Ctrl-C), or cut by Ctrl-C while listing.
    enum class FinPlage { complete, arret, coupee };
    bool rassembler(int k);
    bool montrer();
    void reculer();
    void resteSansDernier();
    void finir(int k, const ZZ& v);
    bool exposantsMots(u64 q, double& tau);
    void choisir(double valeurs, double tau, double p, bool mots, bool& apparie, bool& pas);
    void borneMots(Mots& m);
    void plageMots(Mots& m, u64 p, u64 q, u64 v0, u64 vlast);
    FinPlage parcourirMots(const Mots& m, bool apparie, bool pas);
    void diviseursZ(std::size_t idx);
    bool exposantsZ(double& tau);
    void listerZ(bool pas);
    FinPlage parcourirZ(bool pas);
    bool dernierNiveau();
    int signeFenetreMots(u64 rm, u64 p, u64 q);
    bool bornesSuivantes(u64 v, u64 p, u64 q, u64& mrr, u64& r1, bool& reste0);
    // The run over x[n-2]: what stays the same from one value to the next,
    // and how the run goes on after one value (lowered by z; over, the state
    // handed back; or handed back for the walk's own step).
    struct Avant {
        u64 p3 = 0, q3 = 0;  // R3 = p3/q3 left for x[n-2] onwards
        u64 x3 = 0;          // x[n-3]
        u64 mr2 = 0;         // minr[n-2]
        u64 minr1 = 0;       // minr[1]
        Mots m;              // the range of x[n-1], its bound of x[n] set once
    };
    enum class ApresValeur { suivante, rendue, marche };
    void rendre(u64 v);
    void rendreSuivant(u64 v, u64 mrr, u64 w);
    ApresValeur valeurAvant(Avant& a, u64 v);
    ApresValeur plageAvant(Avant& a, u64 v, u64 p, u64 q, u64 r1, u64 mrr);
    bool avantDernier();
};

}  // namespace egypte

#endif
