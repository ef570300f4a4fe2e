// The strata of an estimate: the level of the walk they are made of, how
// they are cut and how the probes are allotted among them, and their sum.
#include "estimation/strates.h"

#include <algorithm>
#include <memory>

#include "marche/collecte.h"

namespace egypte {

double taille(const Recherche& s, const Noeud& u, int n)
{
    // What is left: P/Q - N/D = (P D - Q N) / (Q D).
    const NTL::ZZ haut = s.cadre.P * u.D - s.cadre.Q * u.N, bas = s.cadre.Q * u.D;
    if (NTL::sign(haut) <= 0) return 0;
    return std::exp(logTaille(s, bas / haut + 1, n - u.i - 2));
}

namespace {

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


}  // namespace

// The nodes to stratify: the deepest level, down to n - 3, with at most
// `plafond` nodes. Everything above them is walked exactly, into e.
std::vector<Noeud> niveauDesStrates(const Recherche& s, std::size_t plafond, Estimation& e)
{
    std::vector<Noeud> niveau(1), suivant;
    niveau[0].prendre(s);
    e.profondeurStrates = 0;
    while (e.profondeurStrates < s.marche.n - 3) {
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

}  // namespace egypte
