// Knuth's estimate of the walk of one length: random probes drawn down to
// depth n - 3 and a block of x[n-2], each weighted by one over its chance,
// in strata of the nodes of one level.
#include "search/estimation.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <memory>
#include <queue>
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
    // The sample's variance (0 with a single value, whose spread is unknown).
    double variance() const { return k < 2 ? 0 : m2 / static_cast<double>(k - 1); }
    double ecartType() const { return std::sqrt(variance()); }
};

// The values the walk tries for x[k+1] under the node placed in o (o.i = k),
// from `haut` down to `bas` by z, as suite and suite2 find them: the bound
// of maxi, then down to the larger of minr[k+1] and x[k] (x[k] + z when the
// unknowns are distinct), where arriere and arriere2 leave the position.
// False when the walk tries none (the placed unknowns reach P/Q, the
// window is empty, or even the maximum cannot reach what is left) or at
// Ctrl-C (maxi ends the walk then).
bool candidats(Recherche& o, NTL::ZZ& haut, NTL::ZZ& bas, NTL::ZZ& nombre)
{
    const int k = o.i;
    haut = o.maxi(k, o.D, o.N);
    if (o.i < 0) return false;
    if (!IsZero(o.M) && o.M * o.divis < o.divid) return false;
    bas = o.type == 2 ? o.x[k] + o.z : o.x[k];
    if (bas < o.minr[k + 1]) bas = o.minr[k + 1];
    if (haut < bas) return false;
    nombre = (haut - bas) / o.z + 1;
    return true;
}

// Places v as x[k+1] under the node in o (o.i = k), as descendre does: the
// node of depth k + 1 before its step.
void placer(Recherche& o, const NTL::ZZ& v)
{
    o.x[o.i + 1] = v;
    o.i++;
    o.plu();
}

// The values drawn one by one at the bottom of a range, before the parts of
// doubling width.
constexpr long SEULES = 8;

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
    if (!IsZero(s.M) && inverse > s.M) inverse = s.M;
    return static_cast<double>(std::max(1, m)) * NTL::log(inverse);
}

// The logarithm of the guess at the size of the subtree of x[k+1] = v under
// the node in o (o.i = k, maxi just called), where (divis v - qd) / (qd v)
// is left.
double logTaille(const Recherche& o, const NTL::ZZ& v)
{
    const NTL::ZZ haut = o.divis * v - o.qd;
    if (NTL::sign(haut) <= 0) return 0;
    return logTaille(o, o.qd * v / haut + 1, o.n - o.i - 3);
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
    o.plafondUnite = static_cast<std::size_t>(-1);
    depart.poser(o);
    const int feuille = o.n - 3;
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
        if (enfants && o.i == feuille && nombre <= bloc) break;  // that step is part of the leaf's walk
        // The node's own step, as the walk takes it.
        r.noeuds += r.poids;
        r.secondes += r.poids * depuis(t0);
        if (!enfants) return r;
        if (o.i == feuille) break;
        double chance = 1;
        const NTL::ZZ t = tirerUnite(o, bas, NTL::ZZ(o.z), nombre, tirage, chance);
        r.poids /= chance;
        r.exact = false;
        placer(o, bas + t * o.z);
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
        const NTL::ZZ t = tirerUnite(o, bas, bloc * NTL::ZZ(o.z), blocs, tirage, chance);
        r.poids /= chance;
        r.exact = false;
        const NTL::ZZ premier = t * bloc, dernier = std::min(premier + bloc, nombre) - 1;  // from the bottom
        if (!IsZero(t)) el.arret = bas + (premier - 1) * o.z;
        r.valeurs = NTL::conv<long>(dernier - premier + 1);
        placer(o, bas + dernier * o.z);
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

Recherche::Longueur poserLongueur(Recherche& s, int n, Recherche::Fin& pourquoi)
{
    s.n = n - 1;
    s.nz = n - 1;
    s.avantLongueurs();
    return s.longueurSuivante(pourquoi);
}


namespace {

// A node at the depth of the strata, with a cheap guess at the size of its
// subtree (logTaille): under 2, 3, 7, 43, 1807 at length 8, 1/3263442 is
// left for three unknowns and x6 runs through 6.5 million values, where a
// typical node of that depth leaves a few thousand.
struct Unite {
    Noeud noeud;
    double taille = 0;
    double poids = 0;              // its chance of being drawn, relative to the others of its stratum
    bool vu = false;               // its whole subtree walked already: its values below
    double valeurs[3] = {0, 0, 0};
};

double taille(const Recherche& s, const Noeud& u, int n)
{
    // What is left: P/Q - N/D = (P D - Q N) / (Q D).
    const NTL::ZZ haut = s.P * u.D - s.Q * u.N, bas = s.Q * u.D;
    if (NTL::sign(haut) <= 0) return 0;
    return std::exp(logTaille(s, bas / haut + 1, n - u.i - 2));
}

// One stratum: nodes of about the same guessed size. A probe draws one of
// them, each with a chance in proportion to a power of its guessed size, and
// counts what it finds there over that chance: an unbiased estimate of the
// stratum's total, whose spread is that of the ratio of a node's count to
// its guess, far less than that of the counts themselves when the stratum
// mixes nodes of different sizes. A node whose whole subtree a probe walked
// is not walked again when drawn again: its values are kept, and a stratum
// whose nodes have all been walked whole is known exactly.
//
// The pilot's probes only measure the spread: the number of probes the
// others get depends on them, so a mean that took them in would lean the way
// of the allotment (a stratum whose pilot met a heavy value gets more probes,
// which would dilute it), while the mean of the others alone is unbiased
// whatever their number.
struct Strate {
    std::vector<std::size_t> unites;
    std::discrete_distribution<std::size_t> tirage;
    double poids = 0;                 // the sum of its nodes' weights
    double cout = 1;                  // the cost of a probe: seconds, or 1 with a number of probes
    std::size_t vues = 0;             // nodes walked whole
    double connus[3] = {0, 0, 0};     // their values
    double secondesPilote = 0;        // the time of the pilot's probes
    Moyenne suite[3];                 // the probes after the pilot: expansions, nodes, seconds
    Moyenne tous[3];                  // every probe: the spread
    Moyenne premiers[3];              // the pilot's probes, for a stratum that had no other
    double voulu = 1;                 // probes after the pilot allotted
};

// The power of the guessed size that weighs the draws. A probe costs about
// the same wherever it lands (at most a block of x[n-2]), so the draws
// follow the guess itself: the heavy nodes, where the count is, are drawn
// most.
constexpr double PUISSANCE = 1;

class Sondeur : public Tirage {
public:
    Sondeur(const Recherche& s, std::vector<Unite>& unites, long bloc, std::mt19937_64& alea,
            const std::atomic<bool>& arret)
        : s_(s), unites_(unites), bloc_(bloc), alea_(alea), arret_(arret)
    {
    }
    // Every node of h walked whole: its total known exactly.
    bool connue(const Strate& h) const { return h.vues == h.unites.size(); }
    // One probe of h; false at Ctrl-C.
    bool sonder(Strate& h, bool pilote)
    {
        const Horloge::time_point t0 = Horloge::now();
        Unite& u = unites_[h.unites[h.tirage(alea_)]];
        double valeurs[3] = {u.valeurs[0], u.valeurs[1], u.valeurs[2]};
        if (!u.vu) {
            const Sondage p = egypte::sonder(s_, u.noeud, *this, bloc_, &arret_);
            if (p.coupe) return false;
            valeurs[0] = p.developpements, valeurs[1] = p.noeuds, valeurs[2] = p.secondes;
            if (p.exact) {
                u.vu = true;
                h.vues++;
                for (int a = 0; a < 3; a++) u.valeurs[a] = valeurs[a], h.connus[a] += valeurs[a];
            }
        }
        if (pilote) h.secondesPilote += depuis(t0);
        const double facteur = h.poids / u.poids;
        for (int a = 0; a < 3; a++) {
            h.tous[a].ajouter(valeurs[a] * facteur);
            (pilote ? h.premiers[a] : h.suite[a]).ajouter(valeurs[a] * facteur);
        }
        return true;
    }
    // The estimate of stratum h for the quantity a, into total and variance.
    // `relative`: the square of the spread relative to the mean, for a
    // stratum with a single probe, whose spread is unknown (that of a
    // neighbouring stratum).
    void ajouter(const Strate& h, int a, double relative, double& total, double& variance) const
    {
        if (connue(h)) {
            total += h.connus[a];
            return;
        }
        // Time ran out before the stratum had a probe after the pilot: the
        // pilot's mean, the only one there is.
        const Moyenne& m = h.suite[a].k > 0 ? h.suite[a] : h.premiers[a];
        if (m.k == 0) return;  // Ctrl-C or the time came before the stratum had a probe
        total += m.moyenne;
        const Moyenne& v = h.tous[a];
        variance += (v.k >= 2 ? v.variance() : relative * m.moyenne * m.moyenne) / static_cast<double>(m.k);
    }

    std::size_t partie(const std::vector<double>& poids) override
    {
        return std::discrete_distribution<std::size_t>(poids.begin(), poids.end())(alea_);
    }
    NTL::ZZ nombre(const NTL::ZZ& k) override
    {
        if (NTL::NumBits(k) <= 64)
            return NTL::conv<NTL::ZZ>(std::uniform_int_distribution<unsigned long>(0, NTL::conv<unsigned long>(k - 1))(alea_));
        // Beyond a machine word: words drawn until the number they make,
        // cut to the bits of k, is below it (at most two tries on average).
        const long bits = NTL::NumBits(k);
        NTL::ZZ v;
        do {
            clear(v);
            for (long b = 0; b < bits; b += 64) {
                v <<= 64;
                v += NTL::conv<NTL::ZZ>(static_cast<unsigned long>(alea_()));
            }
            NTL::trunc(v, v, bits);
        } while (v >= k);
        return v;
    }

private:
    const Recherche& s_;
    std::vector<Unite>& unites_;
    const long bloc_;
    std::mt19937_64& alea_;
    const std::atomic<bool>& arret_;
};

// Sets `arret` once the time is up, unless told first that the probes are
// over: a probe still walking then stops between two steps of its leaf, and
// is not counted, as the next one would not have been.
class Delai {
public:
    Delai(Horloge::time_point fin, std::atomic<bool>& arret)
        : garde_([this, fin, &arret] {
              std::unique_lock<std::mutex> l(m_);
              if (!cv_.wait_until(l, fin, [this] { return fini_; })) arret.store(true);
          })
    {
    }
    ~Delai()
    {
        {
            std::lock_guard<std::mutex> l(m_);
            fini_ = true;
        }
        cv_.notify_all();
        garde_.join();
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool fini_ = false;
    std::thread garde_;
};

// The nodes of the next depth under `niveau`, in the walk's order, into
// `suivant`, unless there are more than `plafond` (false then, or at Ctrl-C).
// `developpements` and `secondes` get what the walk of these levels meets and
// takes, as the count would walk them.
bool descendre(const Recherche& c, const std::vector<Noeud>& niveau, std::size_t plafond,
               std::vector<Noeud>& suivant, double& developpements, double& secondes)
{
    suivant.clear();
    const std::atomic<bool> jamais{false};
    double dev = 0;
    const Horloge::time_point t0 = Horloge::now();
    for (const Noeud& noeud : niveau) {
        const NTL::ZZ v = noeud.i > 0 ? noeud.x[noeud.i] : NTL::ZZ();
        Enumeration en(c, noeud, noeud.i, v, NTL::ZZ(), noeud.i + 1, false);
        while (std::unique_ptr<Element> el = en.suivant(jamais)) {
            if (!el->unite) {
                dev += static_cast<double>(el->trouves.taille());
            } else {
                if (suivant.size() >= plafond) return false;
                suivant.push_back(std::move(el->racine));
            }
        }
        if (arrete()) return false;
    }
    developpements += dev;
    secondes += depuis(t0);
    return true;
}

// The nodes to stratify: the deepest level, down to n - 3, with at most
// `plafond` nodes. Everything above them is walked exactly, into e.
std::vector<Noeud> niveauDesStrates(const Recherche& s, std::size_t plafond, Estimation& e)
{
    std::vector<Noeud> niveau(1), suivant;
    niveau[0].prendre(s);
    e.profondeurStrates = 0;
    while (e.profondeurStrates < s.n - 3) {
        double dev = 0, secondes = 0;
        if (!descendre(s, niveau, plafond, suivant, dev, secondes)) break;
        e.developpementsExacts += dev;
        e.noeudsExacts += static_cast<double>(niveau.size());
        e.secondesExactes += secondes;
        std::swap(niveau, suivant);
        e.profondeurStrates++;
    }
    return niveau;
}

// Fewer nodes in a stratum than this, and its spread is too uncertain.
constexpr std::size_t PETITE = 4;

// The strata of `unites` (sorted by decreasing guessed size), lightest
// first: cut so that each holds about the same share of the sum of the
// square roots of the guessed sizes (the many light nodes share a few
// strata, the heavy ones get strata of their own).
std::vector<Strate> stratifier(const std::vector<Unite>& unites, const std::vector<std::size_t>& ordre, long voulues)
{
    double total = 0;
    for (std::size_t u : ordre) total += std::sqrt(unites[u].taille);
    const double part = total / static_cast<double>(std::max(1L, voulues));
    std::vector<Strate> strates;
    double dans = 0, poids = 0;
    auto fermer = [&]() {
        Strate& h = strates.back();
        std::vector<double> w;
        for (std::size_t u : h.unites) w.push_back(unites[u].poids);
        h.tirage = std::discrete_distribution<std::size_t>(w.begin(), w.end());
        h.poids = poids;
    };
    for (std::size_t u : ordre) {
        if (strates.empty() || (dans >= part && strates.back().unites.size() >= PETITE)) {
            if (!strates.empty()) fermer();
            strates.emplace_back();
            dans = 0, poids = 0;
        }
        strates.back().unites.push_back(u);
        dans += std::sqrt(unites[u].taille);
        poids += unites[u].poids;
    }
    if (!strates.empty()) fermer();
    std::reverse(strates.begin(), strates.end());
    return strates;
}

// The allotment of `budget` (in the cost of the probes) among the strata: most of
// it by Neyman's rule, each stratum in proportion to the spread of its
// estimates over the square root of the cost of a probe (the one that makes
// the sum of the strata's variances least for that cost), the rest in
// proportion to the stratum's share of the guessed sizes, so that a stratum
// whose pilot happened to see no spread (every probe 0 where a few subtrees
// hold the count) still gets probes. At least one probe each, so that every
// stratum has an estimate of its own.
void allouer(std::vector<Strate>& strates, const Sondeur& sondeur, double budget)
{
    constexpr double PART_GUESSES = 0.2;
    double neyman = 0, tailles = 0;
    for (const Strate& h : strates)
        if (!sondeur.connue(h)) neyman += h.tous[0].ecartType() * std::sqrt(h.cout), tailles += h.poids;
    const double parNeyman = neyman > 0 ? (1 - PART_GUESSES) * budget : 0;
    const double parTailles = budget - parNeyman;
    for (Strate& h : strates) {
        if (sondeur.connue(h)) continue;
        double part = 0;
        if (neyman > 0) part += parNeyman * h.tous[0].ecartType() / std::sqrt(h.cout) / neyman;
        if (tailles > 0) part += parTailles * h.poids / tailles / h.cout;
        h.voulu = std::max(1.0, std::round(part));
    }
}

// The pilot: probes in every stratum, in passes over all of them, for a
// fifth of the budget (two passes at least, eight at most). By time, even
// the first pass stops at the end of the time (`fini`): the strata it leaves
// without a probe are counted in `stratesSansSondage`, and the report says
// that their share is missing. False when the probes are over (the time, or
// Ctrl-C).
bool piloter(std::vector<Strate>& strates, Sondeur& sondeur, const ReglagesEstimation& r,
             Horloge::time_point debut, const std::atomic<bool>& fini, Estimation& e)
{
    const long passesVoulues =
        r.sondes > 0
            ? std::clamp(static_cast<long>(0.2 * static_cast<double>(r.sondes) / std::max(1.0, static_cast<double>(strates.size()))), 2L, 8L)
            : 8;
    for (long passe = 0; passe < passesVoulues; passe++) {
        if (r.sondes <= 0 && passe >= 2 && depuis(debut) >= 0.2 * r.secondes) break;
        // From the heaviest: when the time runs out in the first pass, the
        // strata left without a probe are the lightest.
        for (auto h = strates.rbegin(); h != strates.rend(); ++h) {
            Strate& st = *h;
            if (sondeur.connue(st)) continue;
            if (fini.load() || !sondeur.sonder(st, true)) return false;
            e.sondes++;
        }
    }
    return true;
}

// The rest, allotted by the pilot's spreads and paces: with a number of
// probes, every probe costs one; by time, a probe of a stratum costs the
// mean time of its pilot's (the blocks at the bottom of a heavy node's
// range, with large numbers to factor, cost a hundred times those of a
// light one), and the budget is the time left until `fin`.
void sonderLeReste(std::vector<Strate>& strates, Sondeur& sondeur, const ReglagesEstimation& r,
                   Horloge::time_point fin, const std::atomic<bool>& fini, Estimation& e)
{
    double budget = 0;
    if (r.sondes > 0) {
        budget = static_cast<double>(std::max(0L, r.sondes - e.sondes));
    } else {
        budget = std::max(0.0, std::chrono::duration<double>(fin - Horloge::now()).count());
        for (Strate& h : strates) h.cout = std::max(1e-7, h.secondesPilote / static_cast<double>(std::max(1L, h.premiers[0].k)));
    }
    allouer(strates, sondeur, budget);
    // The probes in the order that keeps each stratum's share of those done
    // nearest to its allotment, so that time running out leaves the shares as
    // allotted; the strata without one yet come first.
    using Cle = std::pair<double, std::size_t>;
    std::priority_queue<Cle, std::vector<Cle>, std::greater<Cle>> file;
    for (std::size_t h = 0; h < strates.size(); h++)
        if (!sondeur.connue(strates[h])) file.push({0.0, h});
    while (!file.empty() && !fini.load()) {
        const std::size_t h = file.top().second;
        file.pop();
        Strate& st = strates[h];
        if (r.sondes > 0 && static_cast<double>(st.suite[0].k) >= st.voulu) continue;
        if (!sondeur.sonder(st, false)) break;
        e.sondes++;
        if (!sondeur.connue(st)) file.push({static_cast<double>(st.suite[0].k) / st.voulu, h});
    }
}

// The estimate: the exact part above the strata plus each stratum's, with
// the stratified standard error.
void sommer(const std::vector<Strate>& strates, const Sondeur& sondeur, Estimation& e)
{
    double total[3] = {e.developpementsExacts, e.noeudsExacts, e.secondesExactes}, variance[3] = {0, 0, 0};
    for (std::size_t h = 0; h < strates.size(); h++) {
        // For a stratum with a single probe, the relative spread of the
        // nearest one with two or more; when none has (Ctrl-C during the
        // pilot's first pass), a spread as large as the mean rather than none.
        double relative = 1;
        bool trouvee = false;
        for (std::size_t d = 1; d < strates.size() && !trouvee; d++)
            for (std::size_t k : {h - d, h + d})
                if (!trouvee && k < strates.size() && strates[k].tous[0].k >= 2 && strates[k].tous[0].moyenne > 0) {
                    relative = strates[k].tous[0].variance() / (strates[k].tous[0].moyenne * strates[k].tous[0].moyenne);
                    trouvee = true;
                }
        for (int a = 0; a < 3; a++) sondeur.ajouter(strates[h], a, relative, total[a], variance[a]);
        if (!sondeur.connue(strates[h]) && strates[h].tous[0].k == 0) e.stratesSansSondage++;
    }
    e.developpements = total[0];
    e.ecartDeveloppements = std::sqrt(variance[0]);
    e.noeuds = total[1];
    e.ecartNoeuds = std::sqrt(variance[1]);
    e.secondes = total[2];
    e.ecartSecondes = std::sqrt(variance[2]);
}

}  // namespace

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

    e.profondeur = n - 3;
    const long bloc = r.bloc > 0 ? r.bloc : BLOC;
    e.bloc = bloc;
    std::vector<Unite> unites;
    for (Noeud& noeud : niveauDesStrates(s, r.noeuds > 0 ? static_cast<std::size_t>(r.noeuds) : NOEUDS, e)) {
        unites.emplace_back();
        unites.back().taille = taille(s, noeud, n);
        unites.back().poids = std::pow(std::max(1.0, unites.back().taille), PUISSANCE);
        unites.back().noeud = std::move(noeud);
    }
    if (arrete()) {
        e.genre = Estimation::Genre::interrompue;
        e.arretCtrlC = true;
        e.duree = depuis(debut);
        return e;
    }
    std::mt19937_64 alea(e.graine);
    // By time, the probes end `secondes` after the start, or half a second
    // after the strata are made when making them took longer (the nodes of
    // 1 as 9's depth 5 take about a second and a half on a loaded core).
    auto apres = [](Horloge::time_point t, double s) {
        return t + std::chrono::duration_cast<Horloge::duration>(std::chrono::duration<double>(s));
    };
    const Horloge::time_point fin = std::max(apres(debut, r.secondes), apres(Horloge::now(), 0.5));
    std::atomic<bool> delai{false};
    std::unique_ptr<Delai> garde;
    if (r.sondes <= 0) garde = std::make_unique<Delai>(fin, delai);
    Sondeur sondeur(s, unites, bloc, alea, delai);
    std::vector<std::size_t> ordre(unites.size());
    for (std::size_t u = 0; u < unites.size(); u++) ordre[u] = u;
    std::stable_sort(ordre.begin(), ordre.end(),
                     [&](std::size_t a, std::size_t b) { return unites[a].taille > unites[b].taille; });
    std::vector<Strate> strates = stratifier(unites, ordre, r.strates > 0 ? r.strates : STRATES);
    e.strates = static_cast<long>(strates.size());
    e.noeudsStrates = static_cast<long>(unites.size());

    if (piloter(strates, sondeur, r, debut, delai, e)) sonderLeReste(strates, sondeur, r, fin, delai, e);
    garde.reset();
    e.arretCtrlC = arrete();
    if (e.sondes == 0 && !strates.empty()) e.genre = Estimation::Genre::interrompue;
    sommer(strates, sondeur, e);
    e.duree = depuis(debut);
    return e;
}

}  // namespace egypte
