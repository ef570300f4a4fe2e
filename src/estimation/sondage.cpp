// One probe of the walk of one length: drawn down to depth n - 3, each
// value with a chance in proportion to a guess at its subtree's size, then a
// block of x[n-2] walked by the fast search, what it meets weighted by one
// over the chance of its path.
#include "estimation/estimation.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <vector>

#include "marche/collecte.h"
#include "unites/unites.h"

namespace egypte {

// The logarithm of a guess at the size of a subtree: `inverse`, the inverse
// of what is left, to the power `m` of the unknowns left less two, at least
// one. Each unknown above the last two runs through a range about as wide as
// that inverse, and the last two have solutions in about the same
// proportion to it: 1/x + 1/y = a/b has about as many as b^2 has divisors
// over a, and a small a is what leaves a large inverse. Measured under 2, 3,
// 7, 43, 1807 at length 8: a block of 32 values of x6 holds about 60000
// expansions one block above the bottom of its range, 1000 a hundred blocks
// up, 14 ten thousand blocks up, as the inverse falls. (The count of a node
// of depth n - 3, the sum of those, then grows about as the square of its
// inverse; a guess to that power drew the probes of 1 as 9 so often into the
// nodes whose x8 and x9 pass machine words, a tenth of a second each, that
// a minute gave a few hundred probes and a worse estimate than this one.)
// No inverse is taken beyond the maximum M: there the guess is M's, not 0,
// so that no subtree is left without a chance to be drawn.
double logTaille(const Recherche& s, NTL::ZZ inverse, int m)
{
    if (!IsZero(s.cadre.M) && inverse > s.cadre.M) inverse = s.cadre.M;
    return static_cast<double>(std::max(1, m)) * NTL::log(inverse);
}


namespace {

// The values the walk tries for x[k+1] under the node placed in o (o.i = k),
// from `haut` down to `bas` by z, as suite and suite2 find them: the bound
// of maxi, then down to the larger of minr[k+1] and x[k] (x[k] + z when the
// unknowns are distinct), where arriere and arriere2 leave the position.
// False when the walk tries none (the placed unknowns reach P/Q, the
// window is empty, or even the maximum cannot reach what is left) or at
// Ctrl-C (maxi ends the walk then).
bool candidats(Recherche& o, NTL::ZZ& haut, NTL::ZZ& bas, NTL::ZZ& nombre)
{
    const int k = o.marche.i;
    haut = o.maxi(k, o.marche.D, o.marche.N);
    if (o.marche.i < 0) return false;
    if (!IsZero(o.cadre.M) && o.cadre.M * o.marche.divis < o.marche.divid) return false;
    bas = o.cadre.type == 2 ? o.marche.x[k] + o.cadre.z : o.marche.x[k];
    if (bas < o.marche.minr[k + 1]) bas = o.marche.minr[k + 1];
    if (haut < bas) return false;
    nombre = (haut - bas) / o.cadre.z + 1;
    return true;
}

// Places v as x[k+1] under the node in o (o.i = k), as descendre does: the
// node of depth k + 1 before its step.
void placer(Recherche& o, const NTL::ZZ& v)
{
    o.marche.x[o.marche.i + 1] = v;
    o.marche.i++;
    o.marche.plu();
}

// The values drawn one by one at the bottom of a range, before the parts of
// doubling width.
constexpr long SEULES = 8;

// The logarithm of the guess at the size of the subtree of x[k+1] = v under
// the node in o (o.i = k, maxi just called), where (divis v - qd) / (qd v)
// is left.
double logTaille(const Recherche& o, const NTL::ZZ& v)
{
    const NTL::ZZ haut = o.marche.divis * v - o.marche.qd;
    if (NTL::sign(haut) <= 0) return 0;
    return logTaille(o, o.marche.qd * v / haut + 1, o.marche.n - o.marche.i - 3);
}

// Draws one of `nombre` units under the node in o (maxi just called for
// x[k+1]), numbered from the bottom, unit t starting at the value bas + t
// `largeur` (the values of x[k+1] one by one, or the blocks of x[n-2]). The
// heavy subtrees are at the bottom, where little is left after the value, so
// the units are cut into parts, the SEULES lowest one by one, then widths 8,
// 16, 32, ... up the range, each drawn with a chance in proportion to its
// width times the mean of the guesses at the first values of its two end
// units, and a unit drawn in it, each as likely. Returns its number; `chance`
// is multiplied by its chance.
NTL::ZZ tirerUnite(const Recherche& o, const NTL::ZZ& bas, const NTL::ZZ& largeur, const NTL::ZZ& nombre,
                   Tirage& tirage, double& chance)
{
    std::vector<NTL::ZZ> debuts, largeurs;
    std::vector<double> logs;
    NTL::ZZ debut;
    while (debut < nombre) {
        NTL::ZZ l = debut < SEULES ? NTL::ZZ(1) : debut;
        if (l > nombre - debut) l = nombre - debut;
        const double premier = logTaille(o, bas + debut * largeur);
        const double dernier = l > 1 ? logTaille(o, bas + (debut + l - 1) * largeur) : premier;
        // log(l (e^premier + e^dernier) / 2), without overflow.
        const double haut = std::max(premier, dernier);
        logs.push_back(NTL::log(l) + haut + std::log((std::exp(premier - haut) + std::exp(dernier - haut)) / 2));
        debuts.push_back(debut);
        largeurs.push_back(l);
        debut += l;
    }
    const double plus = *std::max_element(logs.begin(), logs.end());
    std::vector<double> poids(logs.size());
    double somme = 0;
    for (std::size_t p = 0; p < logs.size(); p++) somme += poids[p] = std::exp(logs[p] - plus);
    const std::size_t p = tirage.partie(poids);
    chance *= poids[p] / somme / NTL::conv<double>(largeurs[p]);
    return debuts[p] + tirage.nombre(largeurs[p]);
}

}  // namespace


Sondage sonder(const Recherche& c, Tirage& tirage, long bloc)
{
    Noeud racine;
    racine.prendre(c);
    return sonder(c, racine, tirage, bloc);
}

Sondage sonder(const Recherche& c, const Noeud& depart, Tirage& tirage, long bloc, const std::atomic<bool>* arret)
{
    Sondage r;
    Recherche o;
    preparer(o, c);
    o.compteSeul = true;  // counted only, never cut: the leaf is walked whole
    o.cadre.plafondUnite = static_cast<std::size_t>(-1);
    depart.poser(o);
    const int feuille = o.marche.n - 3;
    NTL::ZZ haut, bas, nombre;
    // From the node down to depth n - 3, one value drawn at each level among
    // the values the walk tries there: the node reached stands for one over
    // the chance of the path of the nodes of its depth.
    for (;;) {
        const Horloge::time_point t0 = Horloge::now();
        const bool enfants = candidats(o, haut, bas, nombre);
        if (arrete()) {
            r.coupe = true;
            return r;
        }
        if (enfants && o.marche.i == feuille && nombre <= bloc) break;  // that step is part of the leaf's walk
        // The node's own step, as the walk takes it.
        r.noeuds += r.poids;
        r.secondes += r.poids * depuis(t0);
        if (!enfants) return r;
        if (o.marche.i == feuille) break;
        double chance = 1;
        const NTL::ZZ t = tirerUnite(o, bas, NTL::ZZ(o.cadre.z), nombre, tirage, chance);
        r.poids /= chance;
        r.exact = false;
        placer(o, bas + t * o.cadre.z);
    }
    // At depth n - 3: its whole subtree when x[n-2] takes at most `bloc`
    // values, otherwise one block of `bloc` consecutive values drawn among the
    // blocks that cut the range from the bottom (the last, at the top, may be
    // shorter), walked as a work unit of values of x[n-2] from the block's
    // top down: the walk stops at the first value of the block below, or
    // leaves the node after the lowest block.
    Element el;
    el.unite = true;
    el.k = feuille;
    if (nombre <= bloc) {
        el.racine.prendre(o);
        r.valeurs = NTL::conv<long>(nombre);
    } else {
        double chance = 1;
        const NTL::ZZ blocs = (nombre + bloc - 1) / bloc;
        const NTL::ZZ t = tirerUnite(o, bas, bloc * NTL::ZZ(o.cadre.z), blocs, tirage, chance);
        r.poids /= chance;
        r.exact = false;
        const NTL::ZZ premier = t * bloc, dernier = std::min(premier + bloc, nombre) - 1;  // from the bottom
        if (!IsZero(t)) el.arret = bas + (premier - 1) * o.cadre.z;
        r.valeurs = NTL::conv<long>(dernier - premier + 1);
        placer(o, bas + dernier * o.cadre.z);
        el.racine.prendre(o);
    }
    const Horloge::time_point t0 = Horloge::now();
    const std::atomic<bool> jamais{false};
    parcourirUnite(o, el, arret != nullptr ? *arret : jamais);
    r.secondes += r.poids * depuis(t0);
    r.pas = static_cast<double>(el.pas);
    r.noeuds += r.poids * r.pas;
    r.developpements = r.poids * static_cast<double>(el.trouves.taille());
    r.coupe = el.coupe || arrete();
    return r;
}

Recherche::Longueur poserLongueur(Recherche& s, int n, Recherche::Issue& pourquoi)
{
    s.marche.n = n - 1;
    s.marche.nz = n - 1;
    s.avantLongueurs();
    return s.longueurSuivante(pourquoi);
}

}  // namespace egypte
