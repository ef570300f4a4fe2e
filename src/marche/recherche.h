// One search: the state through which the routines of the search communicate,
// and those routines as its member functions. Its state is in three parts by
// lifetime, held as members: what is fixed once a problem is set up (cadre,
// copied whole to every worker, rank and probe), the walk of the length being
// tried (marche) and the fast search's scratch (brouillon); Recherche itself
// holds what was found (bilan) and where it goes. Two of them never share anything but the factor
// table (immutable once published) and the Ctrl-C flag, so several can run at
// once on several threads.
#ifndef EGYPTE_MARCHE_RECHERCHE_H
#define EGYPTE_MARCHE_RECHERCHE_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "commun/avancement.h"
#include "commun/bilan.h"
#include "marche/brouillon.h"
#include "marche/cadre.h"
#include "marche/marche.h"
#include "marche/sortie.h"
#include "marche/probleme.h"

namespace egypte {

// Largest length the search accepts (the public LONGUEUR_MAX): the vectors
// hold n + 1 entries and n is an int, so a longer length is refused with a
// message (TROP_LONG, which quotes this number) instead of overflowing.
constexpr long NMAX = LONGUEUR_MAX;

class Collecte;  // what a work unit hands back (marche/collecte.h)
class Reseau;    // work units dealt out to other processes (unites/messages.h)

class Recherche {
public:
    // --- Its parts -----------------------------------------------------------
    Cadre cadre;    // the problem, its constraints and bounds, how the engine runs
    Marche marche;  // the walk of the length being tried

    // --- What was found -----------------------------------------------------
    Bilan bilan;                // the expansions found in this computation, with their extremes
    bool arretDemande = false;  // the receiver asked the search to stop after the expansion just found

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
    // (nullptr: livrer shows them).
    Collecte* collecte = nullptr;
    // A front end other than the dialogue: the expansions go there, and
    // what it keeps of the computation (nullptr: the dialogue's display).
    Sortie* sortie = nullptr;
    int seule = 0;  // 1 when the length was settled by its single expansion, in x[1..n]

    // --- The routines --------------------------------------------------------
    // How a search over the lengths ended.
    enum class Issue {
        trouve,      // a length with expansions, listed (bilan.nombre > 0)
        aucune,      // no length left under the constraints
        tropLong,    // the next length would pass NMAX
        interrompu,  // Ctrl-C (or a step budget)
        arrete       // the answer -1 stopped the listing
    };
    // The set-up of a problem given whole (preparation.cpp), from the
    // dialogue's answers or the command line's options. false when no length
    // is left to try (aucune: the constraints leave none; tropLong: beyond
    // NMAX).
    bool poser(const Probleme& pb, Issue& pourquoi);
    // The search over increasing lengths (longueurs.cpp), the expansions to
    // livrer; prints nothing else.
    Issue chercher();
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
    Longueur longueurSuivante(Issue& pourquoi);
    // The walk of the current length from i = 0, on one thread or several
    // (parallele.cpp).
    Issue parcourirLongueur();
    Issue parcourirSeul();  // the same on this thread alone

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
        if (!cadre.simple) etape();
        else if (cadre.type == 2) suite2();
        else suite();
    }
    // The fast search's step: at the penultimate position it does in one call
    // everything the walk would do over that position's remaining range (every
    // expansion goes through livrer, a stop asked for stops it where the
    // walk would stop), then the walk's own backtrack. At the position before, it
    // runs through that position's values the same way for as long as the
    // walk would only lower it, and hands the state back to the walk at the
    // point reached otherwise. Anywhere else, and whenever the denominator
    // left cannot be factored or a value leaves machine words, it is the walk
    // step itself.
    void etape();

    // The expansion in x[1..n], found: to the work unit's collecte, or to
    // the front end's receiver (sortie), or only counted (parcours.cpp).
    void livrer();
    // `nombre` expansions of one range at once, x[1..n] holding the last of
    // them in the walk's order (the one with the largest x[n]) and
    // `plusPetitXn` the x[n] of the first (the smallest), for an output that
    // shows none of them. False, with nothing done, when they must go one by
    // one through livrer.
    bool livrerBloc(std::int64_t nombre, const ZZ& plusPetitXn);
    // The expansion in x[1..n] counted in bilan; and a range's `nombre` at
    // once, as livrerBloc describes them.
    void compter() { bilan.ajouter(marche.x[1], marche.x[marche.n]); }
    void compter(std::int64_t nombre, const ZZ& plusPetitXn)
    {
        bilan.ajouterBloc(nombre, marche.x[1], plusPetitXn, marche.x[marche.n]);
    }
    // The text of the status line (parcours.cpp).
    void decrire(std::ostream& o) const;

private:
    Brouillon brouillon;  // the fast search's scratch, rebuilt by every run

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
    void plafonner(int k, const ZZ& mr);
    void resteFenetre(int k);

    // longueurs.cpp
    void nouvelleLongueur();
    bool plusGrandeSomme();
    void seuleSolution();

    // preparation.cpp
    void bornesX();
    int bornesN();


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
    bool compterBloc(const Mots& m);
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
    int rangDansBase(u64 pr) const;
    void poserBase();
    u64 reduction(u64 v, u128 num);
    void exposantsAvant(double& tau);
    ApresValeur plageAvant(Avant& a, u64 v, u64 p, u64 q, u64 r1, u64 mrr);
    bool avantDernier();
};

// q <- a / b where b divides a exactly (somme.cpp); q must not be a or b.
void diviserExact(ZZ& q, const ZZ& a, const ZZ& b);

}  // namespace egypte

#endif
