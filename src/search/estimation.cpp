// Knuth's estimate of the walk of one length: random probes from the root,
// each weighted by the product of the numbers of children along its path.
#include "search/estimation.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "search/parallele.h"
#include "search/unites.h"

namespace egypte {

namespace {

using Horloge = std::chrono::steady_clock;

double depuis(Horloge::time_point t0) { return std::chrono::duration<double>(Horloge::now() - t0).count(); }

// Mean and spread of a stream of values (Welford: no sum of squares of large
// values to lose the spread in).
struct Moyenne {
    long k = 0;
    double moyenne = 0;
    double m2 = 0;
    void ajouter(double v)
    {
        k++;
        const double ecart = v - moyenne;
        moyenne += ecart / static_cast<double>(k);
        m2 += ecart * (v - moyenne);
    }
    // The standard error of the mean: the sample's standard deviation over
    // the square root of the number of values (0 with a single value, whose
    // spread is unknown).
    double erreur() const
    {
        if (k < 2) return 0;
        const double kk = static_cast<double>(k);
        return std::sqrt(m2 / (kk - 1) / kk);
    }
};

// The children of `noeud` (depth at most n - 4) in the walk's order, as
// enfants lists them, but without keeping them: a node near the extremes of
// a long length has millions of children (x6 runs through about ten million
// values under 2, 3, 7, 43, 1807 at length 9), which listed whole would take
// gigabytes for the one that a probe keeps. Returns their number, and the
// child number `j` into `pris` (when j is below it); `developpements` gets
// the expansions that the walk meets on the way.
std::size_t parcourirEnfants(const Recherche& c, const Noeud& noeud, std::size_t j, Noeud& pris,
                             std::size_t& developpements)
{
    const NTL::ZZ v = noeud.i > 0 ? noeud.x[noeud.i] : NTL::ZZ();
    Enumeration en(c, noeud, noeud.i, v, NTL::ZZ(), noeud.i + 1, false);
    const std::atomic<bool> jamais{false};
    std::size_t k = 0;
    developpements = 0;
    while (std::unique_ptr<Element> el = en.suivant(jamais)) {
        if (!el->unite) {
            developpements += el->trouves.taille();
        } else if (k++ == j) {
            pris = std::move(el->racine);
            break;
        }
    }
    return k;
}

}  // namespace

Sondage sonder(const Recherche& c, int profondeur, const std::function<std::size_t(std::size_t)>& choisir)
{
    Sondage r;
    // The nodes of the tree at the depth of `noeud` that it stands for.
    double poids = 1;
    Noeud noeud, pris;
    noeud.prendre(c);
    for (int d = 0; d < profondeur; d++) {
        // First the walk of the node's level, as the count would do it (and
        // timed as its share of the count), then again up to the chosen child.
        const Horloge::time_point t0 = Horloge::now();
        std::size_t trouves = 0;
        const std::size_t k = parcourirEnfants(c, noeud, static_cast<std::size_t>(-1), pris, trouves);
        r.secondes += poids * depuis(t0);
        r.noeuds += poids;
        r.developpements += poids * static_cast<double>(trouves);
        if (interrompu.load(std::memory_order_relaxed)) {
            r.coupe = true;
            return r;
        }
        if (k == 0) return r;
        const std::size_t j = choisir(k);
        if (parcourirEnfants(c, noeud, j, pris, trouves) <= j) {
            r.coupe = true;  // only Ctrl-C cuts the same walk short
            return r;
        }
        poids *= static_cast<double>(k);
        std::swap(noeud, pris);
    }
    const Horloge::time_point t0 = Horloge::now();
    std::int64_t pas = 0;
    const std::int64_t trouves = compterSousArbre(c, noeud, pas);
    r.secondes += poids * depuis(t0);
    r.noeuds += poids * static_cast<double>(pas);
    r.developpements += poids * static_cast<double>(trouves);
    r.coupe = interrompu.load(std::memory_order_relaxed);
    return r;
}

Recherche::Longueur poserLongueur(Recherche& s, int n, Recherche::Fin& pourquoi)
{
    s.n = n - 1;
    s.nz = n - 1;
    s.avantLongueurs();
    return s.longueurSuivante(pourquoi);
}

Estimation estimer(Recherche& s, int n, const ReglagesEstimation& r)
{
    const Horloge::time_point debut = Horloge::now();
    Estimation e;
    e.n = n;
    e.fils = nombreDeFils(s.fils);
    e.graine = r.graine != 0 ? r.graine : (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
    if (n < 4) {
        e.genre = Estimation::Genre::courte;
        return e;
    }
    Recherche::Fin pourquoi = Recherche::Fin::aucune;
    const Recherche::Longueur l = poserLongueur(s, n, pourquoi);
    if (l == Recherche::Longueur::finie && pourquoi == Recherche::Fin::interrompu) {
        e.genre = Estimation::Genre::interrompue;
        e.arretCtrlC = true;
    } else if (l == Recherche::Longueur::seule) {
        e.genre = Estimation::Genre::seule;
        e.developpements = 1;
        e.noeuds = 1;
    } else if (l == Recherche::Longueur::aParcourir && s.i >= 0) {
        e.genre = Estimation::Genre::sondee;
    }
    if (e.genre != Estimation::Genre::sondee) {
        e.duree = depuis(debut);
        return e;
    }

    e.profondeur = r.profondeur >= 1 && r.profondeur <= n - 3 ? r.profondeur : n - 3;
    std::mt19937_64 alea(e.graine);
    auto choisir = [&alea](std::size_t k) { return std::uniform_int_distribution<std::size_t>(0, k - 1)(alea); };
    Moyenne dev, noeuds, secondes;
    for (;;) {
        // By time, at least one probe, however long the set-up took.
        if (r.sondes > 0 ? dev.k >= r.sondes : (dev.k > 0 && depuis(debut) >= r.secondes)) break;
        const Sondage p = sonder(s, e.profondeur, choisir);
        if (p.coupe) {
            e.arretCtrlC = true;
            break;
        }
        dev.ajouter(p.developpements);
        noeuds.ajouter(p.noeuds);
        secondes.ajouter(p.secondes);
    }
    e.sondes = dev.k;
    if (e.sondes == 0) e.genre = Estimation::Genre::interrompue;
    e.developpements = dev.moyenne;
    e.ecartDeveloppements = dev.erreur();
    e.noeuds = noeuds.moyenne;
    e.ecartNoeuds = noeuds.erreur();
    e.secondes = secondes.moyenne;
    e.ecartSecondes = secondes.erreur();
    e.duree = depuis(debut);
    return e;
}

}  // namespace egypte
