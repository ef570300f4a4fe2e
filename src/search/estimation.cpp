// Knuth's estimate of the walk of one length: random probes from the root,
// each weighted by the product of the numbers of children along its path.
#include "search/estimation.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
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
    // The standard error of the mean: the sample's standard deviation over
    // the square root of the number of values (0 with a single value, whose
    // spread is unknown).
    double variance() const { return k < 2 ? 0 : m2 / static_cast<double>(k - 1); }
    double ecartType() const { return std::sqrt(variance()); }
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
    Noeud racine;
    racine.prendre(c);
    return sonder(c, racine, profondeur, choisir);
}

Sondage sonder(const Recherche& c, const Noeud& depart, int profondeur,
               const std::function<std::size_t(std::size_t)>& choisir)
{
    Sondage r;
    // The nodes of the tree at the depth of `noeud` that it stands for.
    double poids = 1;
    Noeud noeud = depart, pris;
    for (int d = depart.i; d < profondeur; d++) {
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
    r.pas = static_cast<double>(pas);
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


namespace {

// A node at the depth of the strata, with a cheap guess at the size of its
// subtree: the inverse of what is left for its last unknowns, to the power of
// their number less two. The last two come from the divisors of one number,
// few of them whatever its size, while each unknown above them runs through a
// range about as wide as that inverse: under 2, 3, 7, 43, 1807 at length 8,
// 1/3263442 is left for three unknowns and x6 runs through 6.5 million
// values, where a typical node of that depth leaves a few thousand.
struct Unite {
    Noeud noeud;
    double taille = 0;
    double poids = 0;              // its chance of being drawn, relative to the others of its stratum
    bool vu = false;               // walked already (at depth D): its values below
    double valeurs[3] = {0, 0, 0};
};

double taille(const Recherche& s, const Noeud& u, int n)
{
    // What is left: P/Q - N/D = (P D - Q N) / (Q D).
    const NTL::ZZ haut = s.P * u.D - s.Q * u.N, bas = s.Q * u.D;
    if (NTL::sign(haut) <= 0) return 0;
    const double inverse = NTL::conv<double>(bas / haut) + 1;
    return std::pow(inverse, std::max(1, n - u.i - 2));
}

// One stratum: nodes of about the same guessed size. A probe draws one of
// them, each with a chance in proportion to a power of its guessed size, and
// counts what it finds there over that chance: an unbiased estimate of the
// stratum's total, whose spread is that of the ratio of a node's count to
// its guess, far less than that of the counts themselves when the stratum
// mixes nodes of different sizes. The power is below one because the cost of
// a node also grows with its size. At depth D a node walked once is not
// walked again when drawn again: its values are kept, and a stratum whose
// nodes have all been walked is known exactly.
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
    double cout = 0;                  // expected cost of a probe, in guessed sizes
    std::size_t vues = 0;             // nodes walked (at depth D)
    double connus[3] = {0, 0, 0};     // their values
    long pilote = 0;                  // probes of the pilot
    double secondesPilote = 0;        // the time of the walks they made
    double coutPilote = 0;            // and their guessed cost
    Moyenne suite[3];                 // the probes after the pilot: expansions, nodes, seconds
    Moyenne tous;                     // expansions, every probe: the spread
    Moyenne premiers[3];              // the pilot's probes, for a stratum that had no other
    double voulu = 1;                 // probes after the pilot allotted
};

// The power of the guessed size that weighs the draws.
constexpr double PUISSANCE = 0.5;

// The cost of a probe beyond its subtree, in the unit of the guessed sizes
// (a subtree whose guessed size is 1 costs about as much as the probe's start).
constexpr double COUT_SONDAGE = 8;

class Sondeur {
public:
    Sondeur(const Recherche& s, std::vector<Unite>& unites, int profondeur, std::mt19937_64& alea)
        : s_(s), unites_(unites), profondeur_(profondeur), alea_(alea),
          exactes_(!unites.empty() && unites[0].noeud.i == profondeur)
    {
    }
    // Every node of h walked: its total known exactly.
    bool connue(const Strate& h) const { return exactes_ && h.vues == h.unites.size(); }
    // One probe of h; false at Ctrl-C.
    bool sonder(Strate& h, bool pilote)
    {
        auto choisir = [this](std::size_t k) { return std::uniform_int_distribution<std::size_t>(0, k - 1)(alea_); };
        Unite& u = unites_[h.unites[h.tirage(alea_)]];
        if (!u.vu) {
            const Horloge::time_point t0 = Horloge::now();
            const Sondage p = egypte::sonder(s_, u.noeud, profondeur_, choisir);
            if (p.coupe) return false;
            u.valeurs[0] = p.developpements, u.valeurs[1] = p.noeuds, u.valeurs[2] = p.secondes;
            if (pilote) h.secondesPilote += depuis(t0), h.coutPilote += COUT_SONDAGE + u.taille;
            if (exactes_) {
                u.vu = true;
                h.vues++;
                for (int a = 0; a < 3; a++) h.connus[a] += u.valeurs[a];
            }
        }
        const double facteur = h.poids / u.poids;
        h.tous.ajouter(u.valeurs[0] * facteur);
        if (pilote) {
            h.pilote++;
            for (int a = 0; a < 3; a++) h.premiers[a].ajouter(u.valeurs[a] * facteur);
        } else
            for (int a = 0; a < 3; a++) h.suite[a].ajouter(u.valeurs[a] * facteur);
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
        if (m.k == 0) return;  // only after Ctrl-C, before the stratum had a probe
        total += m.moyenne;
        const Moyenne& v = a == 0 ? h.tous : m;
        variance += (v.k >= 2 ? v.variance() : relative * m.moyenne * m.moyenne) / static_cast<double>(m.k);
    }

private:
    const Recherche& s_;
    std::vector<Unite>& unites_;
    const int profondeur_;
    std::mt19937_64& alea_;
    const bool exactes_;
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
        if (interrompu.load(std::memory_order_relaxed)) return false;
    }
    developpements += dev;
    secondes += depuis(t0);
    return true;
}

// The nodes to stratify: the deepest level, down to D, with at most `plafond`
// nodes. Everything above them is walked exactly, into e.
std::vector<Noeud> niveauDesStrates(const Recherche& s, int profondeur, std::size_t plafond, Estimation& e)
{
    std::vector<Noeud> niveau(1), suivant;
    niveau[0].prendre(s);
    e.profondeurStrates = 0;
    while (e.profondeurStrates < profondeur) {
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
// first: cut so that each holds about the same share of the sum of the square
// roots of the guessed sizes (the many light nodes share a few strata, the
// heavy ones get strata of their own), and, from the heaviest down, not
// closed before the expected cost of a probe is at most `plafond`: a stratum
// of nodes too heavy for the time given takes lighter ones in, so that a
// probe of it stays affordable.
std::vector<Strate> stratifier(const std::vector<Unite>& unites, const std::vector<std::size_t>& ordre,
                               long voulues, double plafond)
{
    double total = 0;
    for (std::size_t u : ordre) total += std::sqrt(unites[u].taille);
    const double part = total / static_cast<double>(std::max(1L, voulues));
    std::vector<Strate> strates;
    double dans = 0, poids = 0, cout = 0;
    auto fermer = [&]() {
        Strate& h = strates.back();
        std::vector<double> w;
        for (std::size_t u : h.unites) w.push_back(unites[u].poids);
        h.tirage = std::discrete_distribution<std::size_t>(w.begin(), w.end());
        h.poids = poids;
        h.cout = cout / poids;
    };
    for (std::size_t u : ordre) {
        if (strates.empty() || (dans >= part && strates.back().unites.size() >= PETITE && cout / poids <= plafond)) {
            if (!strates.empty()) fermer();
            strates.emplace_back();
            dans = 0, poids = 0, cout = 0;
        }
        strates.back().unites.push_back(u);
        dans += std::sqrt(unites[u].taille);
        poids += unites[u].poids;
        cout += unites[u].poids * (COUT_SONDAGE + unites[u].taille);
    }
    if (!strates.empty()) fermer();
    std::reverse(strates.begin(), strates.end());
    return strates;
}

// Neyman's allotment of `budget` (in guessed sizes) among the strata, each in
// proportion to the spread of its estimates over the square root of the cost
// of a probe: the one that makes the sum of the strata's variances least for
// that cost. At least one probe each, so that every stratum has an estimate
// of its own.
void allouer(std::vector<Strate>& strates, const Sondeur& sondeur, double budget)
{
    double somme = 0;
    for (const Strate& h : strates)
        if (!sondeur.connue(h)) somme += h.tous.ecartType() * std::sqrt(h.cout);
    for (Strate& h : strates) {
        const double part = somme > 0 ? budget * h.tous.ecartType() / std::sqrt(h.cout) / somme : 0;
        h.voulu = std::max(1.0, std::floor(part));
    }
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

    e.profondeur = r.profondeur >= 1 && r.profondeur <= n - 3 ? r.profondeur : n - 3;
    std::vector<Unite> unites;
    for (Noeud& noeud : niveauDesStrates(s, e.profondeur, r.noeuds > 0 ? static_cast<std::size_t>(r.noeuds) : NOEUDS, e)) {
        unites.emplace_back();
        unites.back().taille = taille(s, noeud, n);
        unites.back().poids = std::pow(std::max(1.0, unites.back().taille), PUISSANCE);
        unites.back().noeud = std::move(noeud);
    }
    if (interrompu.load(std::memory_order_relaxed)) {
        e.genre = Estimation::Genre::interrompue;
        e.arretCtrlC = true;
        e.duree = depuis(debut);
        return e;
    }
    std::mt19937_64 alea(e.graine);
    std::vector<std::size_t> ordre(unites.size());
    double coutTotal = 0;
    for (std::size_t u = 0; u < unites.size(); u++) ordre[u] = u, coutTotal += COUT_SONDAGE + unites[u].taille;
    std::stable_sort(ordre.begin(), ordre.end(),
                     [&](std::size_t a, std::size_t b) { return unites[a].taille > unites[b].taille; });
    const long voulues = r.strates > 0 ? r.strates : STRATES;
    // A probe may cost at most this share of the budget.
    constexpr double PART_MAX = 0.02;
    // With a number of probes, the budget is that many probes of the mean
    // cost, known before any; by time, it is known from the pace of the
    // pilot, so the heavy strata are cut once the light ones have shown it.
    const double moyen = coutTotal / static_cast<double>(std::max<std::size_t>(1, unites.size()));
    std::vector<Strate> strates =
        stratifier(unites, ordre, voulues, r.sondes > 0 ? PART_MAX * static_cast<double>(r.sondes) * moyen : HUGE_VAL);
    Sondeur sondeur(s, unites, e.profondeur, alea);

    // The pilot: probes in every stratum, in passes over all of them from
    // the lightest, for a fifth of the budget (two passes at least, eight at
    // most).
    const long passesVoulues =
        r.sondes > 0
            ? std::clamp(static_cast<long>(0.2 * static_cast<double>(r.sondes) / std::max(1.0, static_cast<double>(strates.size()))), 2L, 8L)
            : 8;
    bool coupe = false, recoupe = r.sondes > 0;
    // Seconds per unit of guessed cost: the slowest stratum's pace so far.
    double allure = 0;
    for (long passe = 0; passe < passesVoulues && !coupe; passe++) {
        if (r.sondes <= 0 && passe >= 2 && depuis(debut) >= 0.2 * r.secondes) break;
        for (std::size_t h = 0; h < strates.size() && !coupe; h++) {
            if (!recoupe && allure > 0 && h >= strates.size() / 2 &&
                2 * allure * strates[h].cout > PART_MAX * r.secondes) {
                // The heavier strata, none probed yet, cut again under the
                // cost that the pace of the lighter ones allows.
                std::vector<std::size_t> lourdes;
                for (std::size_t k = h; k < strates.size(); k++)
                    lourdes.insert(lourdes.end(), strates[k].unites.begin(), strates[k].unites.end());
                std::stable_sort(lourdes.begin(), lourdes.end(),
                                 [&](std::size_t a, std::size_t b) { return unites[a].taille > unites[b].taille; });
                std::vector<Strate> nouvelles = stratifier(unites, lourdes, static_cast<long>(strates.size() - h),
                                                           PART_MAX * r.secondes / (2 * allure));
                strates.resize(h);
                for (Strate& k : nouvelles) strates.push_back(std::move(k));
                recoupe = true;
            }
            Strate& st = strates[h];
            if (sondeur.connue(st)) continue;
            if (!sondeur.sonder(st, true)) {
                coupe = true;
                break;
            }
            if (st.coutPilote > 0) allure = std::max(allure, st.secondesPilote / st.coutPilote);
            e.sondes++;
        }
    }
    e.strates = static_cast<long>(strates.size());
    e.noeudsStrates = static_cast<long>(unites.size());

    // The rest, allotted by the pilot's spreads; by time, the cost that the
    // time left allows at the pilot's pace.
    double coutPilote = 0, secondesPilote = 0;
    for (const Strate& h : strates) coutPilote += h.coutPilote, secondesPilote += h.secondesPilote;
    double budget = 0;
    if (r.sondes > 0) {
        budget = static_cast<double>(std::max(0L, r.sondes - e.sondes)) * moyen;
    } else {
        const double temps = depuis(debut);
        budget = coutPilote / std::max(1e-9, secondesPilote) * std::max(0.0, r.secondes - temps);
    }
    allouer(strates, sondeur, budget);
    // The probes in the order that keeps each stratum's share of those done
    // nearest to its allotment, so that time running out leaves the shares as
    // allotted; the strata without one yet come first.
    using Cle = std::pair<double, std::size_t>;
    std::priority_queue<Cle, std::vector<Cle>, std::greater<Cle>> file;
    for (std::size_t h = 0; h < strates.size(); h++)
        if (!sondeur.connue(strates[h])) file.push({0.0, h});
    while (!coupe && !file.empty()) {
        if (r.sondes <= 0 && depuis(debut) >= r.secondes) break;
        const std::size_t h = file.top().second;
        file.pop();
        Strate& st = strates[h];
        if (r.sondes > 0 && static_cast<double>(st.suite[0].k) >= st.voulu) continue;
        if (!sondeur.sonder(st, false)) break;
        e.sondes++;
        if (!sondeur.connue(st)) file.push({static_cast<double>(st.suite[0].k) / st.voulu, h});
    }
    e.arretCtrlC = interrompu.load(std::memory_order_relaxed);
    if (e.sondes == 0 && !strates.empty()) e.genre = Estimation::Genre::interrompue;

    double total[3] = {e.developpementsExacts, e.noeudsExacts, e.secondesExactes}, variance[3] = {0, 0, 0};
    for (std::size_t h = 0; h < strates.size(); h++) {
        // For a stratum with a single probe, the relative spread of the
        // nearest one with two or more; when none has (Ctrl-C during the
        // pilot's first pass), a spread as large as the mean rather than none.
        double relative = 1;
        bool trouvee = false;
        for (std::size_t d = 1; d < strates.size() && !trouvee; d++)
            for (std::size_t k : {h - d, h + d})
                if (!trouvee && k < strates.size() && strates[k].tous.k >= 2 && strates[k].tous.moyenne > 0) {
                    relative = strates[k].tous.variance() / (strates[k].tous.moyenne * strates[k].tous.moyenne);
                    trouvee = true;
                }
        for (int a = 0; a < 3; a++) sondeur.ajouter(strates[h], a, relative, total[a], variance[a]);
    }
    e.developpements = total[0];
    e.ecartDeveloppements = std::sqrt(variance[0]);
    e.noeuds = total[1];
    e.ecartNoeuds = std::sqrt(variance[1]);
    e.secondes = total[2];
    e.ecartSecondes = std::sqrt(variance[2]);
    e.duree = depuis(debut);
    return e;
}

}  // namespace egypte
