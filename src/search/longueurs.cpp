// The search over increasing lengths: each length is ruled out by exact tests
// when it cannot work, settled directly when P/Q is the largest sum it can
// reach, or walked; the first length with an expansion is the minimal one.
#include <iostream>

#include "dialogue/interruption.h"
#include "output/sortie.h"
#include "search/etat.h"
#include "search/rapide.h"
#include "search/recherche.h"

namespace egypte {

namespace {

// Steps 1 to 4 of a length: the running sum, the counters and the vectors.
void nouvelleLongueur()
{
    N = 0;
    D = 1;
    n++;
    add(nz, nz, 1);
    m = 0;
    K2 = 0;
    K3 = 0;
    // A Vec keeps the values of entries it once had, so each entry is cleared.
    x.SetLength(n + 1);
    minr.SetLength(n + 1);
    x1.SetLength(n + 1);
    for (a = 0; a <= n; a++) {
        clear(x[a]);
        clear(minr[a]);
        clear(x1[a]);
    }
    i = 0;
}

// Pm0/Qm0 <- the sum of 1/(m0 + j*T0), j = 0 .. n-1, in lowest terms.
void plusGrandeSomme()
{
    Pm0 = 1;
    Qm0 = m0;
    for (j = 1; j <= n - 1; j++) {
        add(t, m0, static_cast<long>(j) * T0);
        mul(Pm0, Pm0, t);
        add(Pm0, Pm0, Qm0);
        mul(Qm0, Qm0, t);
    }
    GCD(w, Pm0, Qm0);
    div(Pm0, Pm0, w);
    div(Qm0, Qm0, w);
}

// The single expansion m0, m0 + T0, ..., which reaches P/Q exactly.
void seuleSolution()
{
    std::cout << "\n \n \t    Il faut  " << n << " fractions au minimum. ";
    std::cout << "\n \n \t    Une seule solution : \n";
    std::cout << "\n \t \t \t " << 1 << "  :     ";
    for (a = 1; a <= n; a++) {
        add(t, m0, static_cast<long>(a - 1) * T0);
        std::cout << t << "\t \t";
    }
    std::cout << std::endl << std::endl;
    K1 = 1;
    m1 = m0;
    add(m, m0, static_cast<long>(n - 1) * T0);
    i = -1;
}

}  // namespace

int calcul()
{
    if (!preparation()) return 0;

    const EcouteInterruption ecoute;
    while (K1 == 0) {
        if (interrompu) {
            std::cout << INTERROMPU;
            return 0;
        }
        nouvelleLongueur();
        if (nz > maxn && !IsZero(maxn)) {
            std::cout << AUCUNE_SOLUTION;
            return 0;
        }
        // Every unknown is at most M, so no length above floor(P*M/Q) can work.
        if (!IsZero(Ma) && nz > majn) {
            std::cout << AUCUNE_SOLUTION;
            return 0;
        }
        if (nz > NMAX) {
            std::cout << TROP_LONG;
            return 0;
        }
        // A sum of n odd unit fractions is (a sum of n odd numbers)/(odd):
        // in lowest terms its numerator has the parity of n.
        if (parite == 1 && IsOdd(Q) && IsOdd(P) != (n % 2 == 1)) i = -1;
        m0 = minx;
        T0 = (type == 1) ? 0 : (parite == 0 ? 1 : 2);
        plusGrandeSomme();
        ZZ gauche, droite;
        mul(gauche, P, Qm0);
        mul(droite, Q, Pm0);
        if (gauche > droite) i = -1;
        add(t, m0, static_cast<long>(n - 1) * T0);
        if (!IsZero(Ma) && t > M) {
            // Even the smallest admissible expansion passes the maximum.
            i = -1;
        } else if (i >= 0 && gauche == droite) {
            seuleSolution();
        } else {
            while (i >= 0) {
                if (L == -1) return 0;
                if (interrompu.load(std::memory_order_relaxed)) {
                    std::cout << INTERROMPU;
                    return 0;
                }
                A = simple ? ((type == 2) ? suite2() : suite()) : etape();
            }
        }
        if (L < -1 && K1 != 0) {
            std::cout << "\t \t \t " << K1 << "  :      ";
            for (a = 1; a <= n; a++) std::cout << x1[a] << "\t \t";
            std::cout << std::endl;
        }
    }

    resultat();
    std::cout << std::endl;
    std::cout << " \n \t FIN DU CALCUL";
    std::cout << std::endl;
    std::cout << " \t Developpements egyptiens de longueur minimale : calcul exact sur des entiers de taille quelconque.";
    std::cout << std::endl << std::endl;
    return 0;
}

}  // namespace egypte
