// The strata of an estimate: the nodes of one level of the walk, each with a
// guess at its subtree's size, cut into strata of about the same guess, each
// probed apart (Sondeur) and summed into the estimate.
#ifndef EGYPTE_ESTIMATION_STRATES_H
#define EGYPTE_ESTIMATION_STRATES_H

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include "estimation/estimation.h"
#include "unites/unites.h"

namespace egypte {

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

// The guessed size of the subtree of u at length n.
double taille(const Recherche& s, const Noeud& u, int n);

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

// The nodes to stratify: the deepest level, down to n - 3, with at most
// `plafond` nodes. Everything above them is walked exactly, into e.
std::vector<Noeud> niveauDesStrates(const Recherche& s, std::size_t plafond, Estimation& e);

// The strata of `unites`, lightest first (see strates.cpp).
std::vector<Strate> stratifier(const std::vector<Unite>& unites, const std::vector<std::size_t>& ordre, long voulues);

// The probes after the pilot, allotted among the strata for `budget`.
void allouer(std::vector<Strate>& strates, const Sondeur& sondeur, double budget);

// The estimate and its standard error, from every stratum, into e.
void sommer(const std::vector<Strate>& strates, const Sondeur& sondeur, Estimation& e);

}  // namespace egypte

#endif
