// The search state: every process-wide variable through which the routines of
// the program communicate. Declared here once; defined in etat.cpp. Before main
// runs every int is 0, every ZZ is 0 and the vectors are empty.
#ifndef EGYPTE_SEARCH_ETAT_H
#define EGYPTE_SEARCH_ETAT_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace egypte {

using NTL::ZZ;
using NTL::Vec;

// Largest length the search accepts: the vectors hold n + 1 entries and n is
// an int, so a longer length is refused with a message (TROP_LONG, which
// quotes this number) instead of overflowing.
constexpr long NMAX = 100000;

// --- The problem -------------------------------------------------------------
extern ZZ P1;      // numerator as entered (at least 1)
extern ZZ Q1;      // denominator as entered (at least 1)
extern ZZ pg;      // gcd(P1, Q1), kept for the report
extern ZZ P;       // P1 / pg: numerator in lowest terms, used by the search
extern ZZ Q;       // Q1 / pg: denominator in lowest terms, used by the search

// --- The constraints ---------------------------------------------------------
extern int tri;    // 1 = the user asked for constraints, 0 = not
extern int type;   // 2 = all unknowns different, 1 = unknowns may be equal
extern int parite; // 0 = any parity, 1 = all odd, 2 = all even
extern int z;      // distance between two admissible values of one unknown (1 or 2)
extern ZZ minax;   // minimum for x1 as entered; 0 = none
extern ZZ minx;    // effective minimum for every unknown (>= 1, right parity)
extern ZZ Ma;      // maximum for xn as entered; 0 = none
extern ZZ M;       // effective maximum for the unknowns (right parity); 0 = none
extern ZZ minn;    // minimum for n as entered; 0 = none
extern ZZ maxn2;   // maximum for n as entered; 0 = none
extern ZZ maxn;    // effective maximum for n (lowered to majn); 0 = none
extern ZZ majn;    // floor(P*M/Q), the largest length M allows; 0 without maximum
extern ZZ min1n;   // ceil(P*minx/Q), the smallest length minx allows; 0 without constraints
extern int pas1;   // 1 = the value 1 is excluded for the first unknown

// --- The length --------------------------------------------------------------
extern int n;      // length being tried; once an expansion is found, the minimal length
extern ZZ nz;      // always equal to n, as a ZZ (compared with maxn)
extern ZZ m0;      // copy of minx for the current length
extern int T0;     // step between unknowns of the smallest admissible expansion (0 for Type 1)
extern ZZ Pm0;     // numerator of the largest sum n admissible unknowns reach (reduced every 64 lengths)
extern ZZ Qm0;     // denominator of that largest sum
extern int nPm0;   // the length whose largest sum Pm0/Qm0 hold; 0 = none yet in this computation

// --- The walk ----------------------------------------------------------------
extern int i;          // number of placed unknowns; -1 = walk over or length settled
extern Vec<ZZ> x;      // unknowns x[1..n]; x[0] = 0 is the predecessor of x[1]
extern Vec<ZZ> minr;   // minr[k]: smallest admissible value of x[k]
extern Vec<ZZ> x1;     // every-K display mode: copy of the last expansion found
extern int sale;       // 1 when a walk has written into x, minr or x1 since they were last cleared
extern ZZ N;           // numerator of the running sum 1/x[1] + ... + 1/x[i] (never reduced)
extern ZZ D;           // denominator of the running sum: product of the placed unknowns
extern ZZ r;           // upper bound of the current step: largest candidate for x[i+1]
extern ZZ reste;       // 0 exactly when the completion starting at r is exact
extern ZZ divid;       // (n - i) * Q * D
extern ZZ divis;       // P * D - Q * N: the remainder is divis / (Q * D)
extern ZZ e;           // Type 1 backtrack: the value shared by a run of equal unknowns

// Working values of the bound computation (read and written by maxi only).
extern ZZ pd;          // P * Dk
extern ZZ qn;          // Q * Nk
extern ZZ qd;          // Q * Dk
extern ZZ r1;          // upper bound while it is being worked out
extern ZZ rm;          // first (smallest) value of the Type 2 window
extern ZZ N1k;         // numerator of the window's reciprocal sum (never reduced)
extern ZZ D1k;         // denominator of the window's reciprocal sum: product of its values
extern ZZ d1;          // N1k*qd - D1k*divis: sign of (window sum - remainder)
extern ZZ D0;          // product of the window's values without the first
extern ZZ y;           // holds 1: the result of the end-of-walk exit
extern ZZ t;           // scratch: the term entering the window
extern ZZ w;           // scratch for comparisons and products, so the walk never allocates
extern ZZ u;           // scratch result swapped into place: NTL copies an operand that is also the result

// --- The listing -------------------------------------------------------------
extern ZZ L;               // paging mode: K>0 next K, 0 all, -1 stop, <-1 one in every -L
extern std::int64_t K1;    // expansions found in this computation
extern std::int64_t K2;    // expansions counted since the last paging question (L > 0)
extern std::int64_t K3;    // position in the current cycle of the every-K mode (L < -1)
extern ZZ m;               // largest xn among the expansions found
extern ZZ m1;              // smallest x1 among the expansions found

// --- Console input -----------------------------------------------------------
extern char message[200];  // prompt buffer of main and affiche
extern std::string entree; // the token just read, cut after its first refused character
extern ZZ valeur;          // value accepted by controle for the integer codes 4 and 5
extern int valeur2;        // value accepted by controle for the choice codes 1 to 3
extern ZZ valtest1;        // value of the character last classified by valtest
extern int xn;             // before an integer entry: 1 = zero refused, 0 = zero accepted
extern int refaire;        // 1 = ask again
extern int l;              // length of the current prompt
extern std::int64_t l1;    // length of the current token (it may be longer than entree)
extern std::int64_t a1;    // number of token characters consumed by the scan

// --- Interruption ------------------------------------------------------------
extern std::atomic<bool> interrompu;  // set by Ctrl-C (or a time limit): stop the search at the next step

// --- The search method -------------------------------------------------------
extern int simple;  // 1 = the plain walk alone (the reference, for tests and benchmark); 0 = the fast search (default)

// --- The run -----------------------------------------------------------------
extern int expli;   // 1 = the explanations were asked for
extern int recalc;  // 1 = another computation was asked for

// --- Loop counters and ignored results ---------------------------------------
extern int a;       // loop counter shared by several routines (each sets it before use)
extern int j;       // loop counter shared by several routines (each sets it before use)
extern int A;       // result of the last controle call; never read
extern int B;       // result of the last calcul call; never read
extern int q;       // result of the last backtrack; never read
extern int I;       // result of the last affiche call; never read

}  // namespace egypte

#endif
