// Knuth's estimate of the walk of one length: random probes (sondage.cpp)
// drawn down to depth n - 3 and a block of x[n-2], each weighted by one over
// its chance, in strata of the nodes of one level (strates.cpp): a pilot in
// every stratum, the rest allotted by its spreads, until the time is up
// (delai.h) or the probes are done.
#include "estimation/estimation.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <queue>
#include <random>
#include <vector>

#include "estimation/delai.h"
#include "marche/collecte.h"
#include "commun/fils.h"
#include "estimation/strates.h"

namespace egypte {

namespace {

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

}  // namespace

Estimation estimer(Recherche& s, int n, const ReglagesEstimation& r)
{
    const Horloge::time_point debut = Horloge::now();
    Estimation e;
    e.n = n;
    e.fils = nombreDeFils(s.cadre.fils);
    e.graine = r.graine != 0 ? r.graine : (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
    if (n < 4) {
        e.genre = Estimation::Genre::courte;
        return e;
    }
    Recherche::Issue pourquoi = Recherche::Issue::aucune;
    const Recherche::Longueur l = poserLongueur(s, n, pourquoi);
    if (l == Recherche::Longueur::finie && pourquoi == Recherche::Issue::interrompu) {
        e.genre = Estimation::Genre::interrompue;
        e.arretCtrlC = true;
    } else if (l == Recherche::Longueur::seule) {
        e.genre = Estimation::Genre::seule;
        e.developpements = 1;
        e.noeuds = 1;
    } else if (l == Recherche::Longueur::aParcourir && s.marche.i >= 0) {
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
