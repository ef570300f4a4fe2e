// The running sum N/D of the placed unknowns. It is never reduced: D stays the
// product of the unknowns, which is what makes the withdrawal exact.
#include <NTL/ZZ_limbs.h>
#include <gmp.h>

#include "marche/recherche.h"

namespace egypte {

void diviserExact(ZZ& q, const ZZ& a, const ZZ& b)
{
    // The walk divides products of a few words by one-word unknowns. GMP's
    // exact division by one word needs no reciprocal, unlike the general
    // division NTL would use; the quotient is built in a word buffer.
    constexpr long MOTS = 64;
    const long taille = a.size();
    if (sign(a) > 0 && sign(b) > 0 && b.size() == 1 && taille <= MOTS) {
        mp_limb_t tampon[MOTS];
        const NTL::ZZ_limb_t* mots = ZZ_limbs_get(a);
        mpn_divexact_1(tampon, reinterpret_cast<const mp_limb_t*>(mots), taille, ZZ_limbs_get(b)[0]);
        const long utiles = tampon[taille - 1] == 0 ? taille - 1 : taille;
        ZZ_limbs_set(q, reinterpret_cast<const NTL::ZZ_limb_t*>(tampon), utiles);
        return;
    }
    div(q, a, b);
}

void Marche::plu()
{
    // N <- x[i]*N + D, then D <- D*x[i]
    mul(u, N, x[i]);
    add(N, u, D);
    mul(u, D, x[i]);
    swap(D, u);
}

void Marche::moin()
{
    // D <- D/x[i], then N <- (N - D)/x[i] with the new D; both divisions are exact.
    diviserExact(u, D, x[i]);
    swap(D, u);
    sub(u, N, D);
    diviserExact(N, u, x[i]);
}

}  // namespace egypte
