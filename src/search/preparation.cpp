// The set-up of a computation: reads P and Q, reduces the fraction, holds the
// constraints dialogue and derives the effective bounds and the first length.
#include <cstring>
#include <iostream>

#include "dialogue/dialogue.h"
#include "search/etat.h"
#include "search/recherche.h"

namespace egypte {

namespace {

// Asks the prompt texte with input code cas, from a buffer of the computation's own.
void demander(int cas, const char* texte)
{
    char invite[100];
    std::strncpy(invite, texte, sizeof invite - 1);
    invite[sizeof invite - 1] = '\0';
    controle(cas, invite);
}

}  // namespace

// The constraints dialogue and the bounds it implies. Returns false when the
// computation ends here, with its message written.
bool Recherche::contraintes()
{
    demander(TYPE, " \n \n \t Type d'equation :  1  ou  2  ?  : \t");
    type = valeur2;
    demander(PARITE, "\n \t Parite des inconnues,  PAIRE = 2 ,  IMPAIRE = 1 , INDIFFERENTE = 0 ? \t: ");
    parite = valeur2;
    if (parite == 1 && !IsOdd(Q)) {
        // A sum of odd unit fractions has an odd denominator in lowest terms.
        std::cout << AUCUNE_SOLUTION;
        return false;
    }
    if (parite == 1 || parite == 2) z = 2;

    refaire = 1;
    while (refaire == 1) {
        demander(NATUREL, "\n  \t Minorant pour x1, [rentrez zero sinon] ?  : \t");
        minx = valeur;
        demander(NATUREL, "\n  \t Majorant pour xn, [rentrez zero sinon] ?  : \t");
        M = valeur;
        refaire = 0;
        if (!IsZero(minx) && !IsZero(M) && minx >= M) {
            refaire = 1;
            std::cout << "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez ! \n \n";
        }
    }
    bornesX();

    refaire = 1;
    while (refaire == 1) {
        demander(NATUREL, "\n  \t Minorant pour n, [rentrez zero sinon] ?  : \t");
        minn = valeur;
        demander(NATUREL, "\n  \t Majorant pour n, [rentrez zero sinon] ?  : \t");
        maxn = valeur;
        refaire = 0;
        if (!IsZero(minn) && !IsZero(maxn) && minn >= maxn) {
            refaire = 1;
            std::cout << "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez !\n \n";
        }
    }
    const int r = bornesN();
    if (r == 1) std::cout << "\n \t \t    Les contraintes ne sont pas compatibles ! Recommencer ! \n \n ";
    if (r == 2) std::cout << TROP_LONG;
    return r == 0;
}

// The effective bounds of the unknowns, from minx and M as entered.
void Recherche::bornesX()
{
    minax = minx;
    if (IsZero(minx)) minx = 1;
    if (!IsOdd(minx) && parite == 1) add(minx, minx, 1);
    if (IsOdd(minx) && parite == 2) add(minx, minx, 1);
    Ma = M;
    if (parite == 1 && !IsOdd(M) && !IsZero(M)) sub(M, M, 1);
    if (parite == 2 && IsOdd(M)) sub(M, M, 1);
}

// The lengths that the bounds allow, from minn and maxn as entered, and the
// length before the first one to try. 0: fine; 1: no length is left; 2: the
// first one is beyond NMAX.
int Recherche::bornesN()
{
    // Every unknown lies between minx and M, so n/M <= P/Q <= n/minx.
    majn = P * M / Q;
    min1n = P * minx / Q;
    if (Q * min1n != P * minx) add(min1n, min1n, 1);
    nz = minn;
    if (minn < min1n) nz = min1n;
    maxn2 = maxn;
    if (maxn > majn && !IsZero(majn)) maxn = majn;
    if (nz > maxn && !IsZero(maxn)) return 1;
    if (nz > NMAX) return 2;
    sub(nz, nz, 1);
    n = static_cast<int>(to_long(nz));
    return 0;
}

bool Recherche::poser(const Probleme& pb, Fin& pourquoi)
{
    P1 = pb.P1;
    Q1 = pb.Q1;
    GCD(pg, P1, Q1);
    div(P, P1, pg);
    div(Q, Q1, pg);
    type = pb.type;
    parite = pb.parite;
    tri = (type != 2 || parite != 0 || !IsZero(pb.minx) || !IsZero(pb.M) || !IsZero(pb.minn) || !IsZero(pb.maxn) ||
           !IsZero(pb.longueur))
              ? 1
              : 0;
    pourquoi = Fin::aucune;
    // A sum of odd unit fractions has an odd denominator in lowest terms.
    if (parite == 1 && !IsOdd(Q)) return false;
    if (parite != 0) z = 2;
    minx = pb.minx;
    M = pb.M;
    bornesX();
    if (pb.sansUn && P >= Q) {
        // The exclusion of 1 raises the minimum to 2 (3 for odd unknowns).
        pas1 = 1;
        if (minx < 2) minx = parite == 1 ? 3 : 2;
    }
    minn = pb.minn;
    maxn = pb.maxn;
    if (!IsZero(pb.longueur)) {
        minn = pb.longueur;
        maxn = pb.longueur;
    }
    const int r = bornesN();
    if (r == 2) pourquoi = Fin::tropLong;
    L = 1;
    return r == 0;
}

// A new Recherche starts from the values every computation starts from (the
// defaults of its members): nothing of an earlier computation is read.
bool Recherche::preparation()
{
    refaire = 1;
    xn = 1;
    demander(NATUREL, "\n \t Valeur de P ? : \t");
    P1 = valeur;
    xn = 1;
    demander(NATUREL, "\n \t Valeur de Q ? : \t");
    Q1 = valeur;
    xn = 0;
    GCD(pg, P1, Q1);
    div(P, P1, pg);
    div(Q, Q1, pg);
    demander(OUI_NON, " \n  \n \t Voulez vous imposer des contraintes, Oui [1] / Non [0]  ? \t");
    tri = valeur2;
    if (tri == 1 && !contraintes()) return false;
    if ((parite == 0 || parite == 1) && P >= Q && tri == 0) {
        demander(OUI_NON,
                 " \n  \t Voulez vous exclure la valeur 1 pour la premiere inconnue,  Oui[1] / Non[0] ? : ");
        pas1 = valeur2;
        if (pas1 == 1) minx = 2;
    }
    L = 1;
    return true;
}

}  // namespace egypte
