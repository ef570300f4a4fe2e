// The running sum N/D of the placed unknowns. It is never reduced: D stays the
// product of the unknowns, which is what makes the withdrawal exact.
#include "search/recherche.h"

namespace egypte {

void plu()
{
    // N <- x[i]*N + D, then D <- D*x[i]
    mul(N, N, x[i]);
    add(N, N, D);
    mul(D, D, x[i]);
}

void moin()
{
    // D <- D/x[i], then N <- (N - D)/x[i] with the new D; both divisions are exact.
    div(D, D, x[i]);
    sub(N, N, D);
    div(N, N, x[i]);
}

}  // namespace egypte
