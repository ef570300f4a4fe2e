// The fast search: the same walk, step for step, except where the time goes.
// The penultimate unknown is not stepped through its whole range: the values
// that complete the expansion are read off the divisors of the square of the
// denominator left, and shown in the order the walk would meet them. The
// unknown before it runs through its values in machine words, taking the
// walk's decisions without its big-integer arithmetic.
#ifndef EGYPTE_SEARCH_RAPIDE_H
#define EGYPTE_SEARCH_RAPIDE_H

namespace egypte {

// One step of the search, used by the computation unless `simple` is set. At
// the penultimate position it does in one call everything the walk would do
// over that position's remaining range (every expansion goes through affiche,
// the answer -1 stops it where the walk would stop), then the walk's own
// backtrack. At the position before, it runs through that position's values
// the same way for as long as the walk would only lower it, and hands the
// state back to the walk at the point reached otherwise. Anywhere else, and
// whenever the denominator left cannot be factored or a value leaves machine
// words, it is the walk step itself.
int etape();

// Settings of the fast search, changed only by the tests so that every path
// is run on small problems: q, p and the range are handled in machine words
// when they have at most bitsMots bits (62, which keeps every product within
// 128 bits), in big integers otherwise; methode 0 chooses by the counts
// between listing the divisors, matching their residues mod p in two halves
// and stepping the range; 1 always lists, 2 always steps, 3 always matches
// (in machine words; big integers list).
extern int bitsMots;
extern int methode;
// 1 = the values of x[n-2] are also run through in machine words (default);
// 0 = only the penultimate position is, the walk steps x[n-2].
extern int avant;

}  // namespace egypte

#endif
