// The enumeration of the work units and the walk of one unit.
#include "unites/unites.h"

#include "commun/avancement.h"

namespace egypte {

Enumeration::Enumeration(const Recherche& c, const Noeud& depart, int kexit, const NTL::ZZ& vexit,
                         const NTL::ZZ& arret, int ku, bool numeroter)
    : kexit_(kexit), vexit_(vexit), arret_(arret), ku_(ku), numeroter_(numeroter)
{
    preparer(e_, c);
    depart.poser(e_);
}

bool Enumeration::sortie() const
{
    return e_.marche.i < 0 || e_.marche.i < kexit_ || (kexit_ > 0 && e_.marche.x[kexit_] != vexit_) ||
           (!IsZero(arret_) && e_.marche.i == e_.marche.n - 2 && e_.marche.x[e_.marche.n - 2] == arret_);
}

std::unique_ptr<Element> Enumeration::element()
{
    auto el = std::make_unique<Element>();
    if (numeroter_) el->numero = suivant_++;
    return el;
}

bool Enumeration::sauterValeurs()
{
    // A backtrack at x[n-2] only lowers it by z when the new value stays at
    // least minr[n-2] and above its predecessor (Type 1: not below it), with
    // x1 at least its own minimum. Those bounds do not move with x[n-2], so
    // when the last backtrack of the run is such a one, all of them are: the
    // walk then holds the same state as after them, without stepping through
    // the values in big integers (the rest of a heavy range runs to millions
    // of them).
    const int k = e_.marche.n - 2;
    NTL::ZZ t;
    mul(t, NTL::ZZ(e_.cadre.valeursParUnite), e_.cadre.z);
    sub(t, e_.marche.x[k], t);
    if (e_.marche.x[1] < e_.marche.minr[1] || t < e_.marche.minr[k]) return false;
    if (e_.cadre.type == 2 ? t <= e_.marche.x[k - 1] : t + e_.cadre.z <= e_.marche.x[k - 1]) return false;
    // The next unit's first value lies in between: the values one by one.
    if (!IsZero(arret_) && arret_ >= t && arret_ < e_.marche.x[k]) return false;
    e_.marche.moin();
    e_.marche.x[k] = t;
    e_.marche.plu();
    return true;
}

std::unique_ptr<Element> Enumeration::suivant(const std::atomic<bool>& arret)
{
    for (;;) {
        if (arrete(arret) || sortie()) return nullptr;
        if (e_.marche.i >= ku_) {
            auto el = element();
            el->unite = true;
            el->racine.prendre(e_);
            if (e_.marche.i < e_.marche.n - 2) {
                // The subtree of the node: the walk leaves it by the walk's
                // own backtrack at its depth.
                el->k = e_.marche.i;
                if (e_.cadre.type == 2) e_.arriere2();
                else e_.arriere();
            } else {
                // A node of x[n-2]: with the next values of x[n-2] under the
                // same parent, up to valeursParUnite of them, so that the
                // fast search runs through them at once. The backtrack at
                // that depth only lowers x[n-2] or leaves the parent.
                el->k = e_.marche.n - 3;
                const NTL::ZZ parent = e_.marche.x[e_.marche.n - 3];
                if (!sauterValeurs()) {
                    for (int g = 0; g < e_.cadre.valeursParUnite; g++) {
                        if (e_.cadre.type == 2) e_.arriere2();
                        else e_.arriere();
                        if (e_.marche.i != e_.marche.n - 2 || e_.marche.x[e_.marche.n - 3] != parent ||
                            e_.marche.x[e_.marche.n - 2] == arret_)
                            break;
                    }
                }
                if (e_.marche.i == e_.marche.n - 2 && e_.marche.x[e_.marche.n - 3] == parent)
                    el->arret = e_.marche.x[e_.marche.n - 2];
            }
            progres::tic();
            el->finit = e_.marche.i < 0;
            return el;
        }
        trouves_.vider(e_.marche.n);
        e_.collecte = &trouves_;
        e_.pas();
        progres::tic();
        if (trouves_.taille() > 0) {
            // Above the units a step is the walk's own, which goes on the same
            // way whatever the paging answer.
            auto el = element();
            el->trouves = std::move(trouves_);
            el->finit = el->dernierFinal = e_.marche.i < 0;
            return el;
        }
    }
}

void preparer(Recherche& o, const Recherche& c_)
{
    o.cadre = c_.cadre;
    o.marche.prendreLongueur(c_.marche);
    o.compteSeul = c_.compteSeul || (c_.sortie != nullptr && c_.sortie->compteSeulement());
    o.arretDemande = false;
    o.bilan.vider();
}

void parcourirUnite(Recherche& o, Element& el, const std::atomic<bool>& arret_, bool derniereSeule)
{
    if (!el.unite || arrete(arret_)) {
        el.coupe = el.unite;
        return;
    }
    // The fast search's run through the values of x[n-2] stops at the next
    // unit's.
    o.arretAvant = NumBits(el.arret) <= 64 ? static_cast<std::uint64_t>(to_ulong(el.arret)) : 0;
    el.racine.poser(o);
    el.trouves.vider(o.marche.n, !o.compteSeul && !derniereSeule, derniereSeule && !o.compteSeul);
    el.trouves.limiterTravail(o.cadre.plafondTravail);
    o.collecte = &el.trouves;
    const int k = el.k;
    const NTL::ZZ v = el.racine.x[k];
    const bool borne = !IsZero(el.arret);
    // For the last unit of the walk: the node before the step that met the
    // last expansion, and that step's share of the expansions.
    Noeud avant, avantDernier;
    std::size_t c0 = 0, c1 = 0;
    bool vu = false;
    for (;;) {
        if (arrete(arret_)) {
            el.coupe = true;
            break;
        }
        const std::size_t avantPas = el.trouves.taille();
        if (el.finit) avant.prendre(o);
        o.pas();
        progres::tic();
        el.pas++;
        el.trouves.travailler();
        if (el.finit && el.trouves.taille() > avantPas) {
            std::swap(avant, avantDernier);
            c0 = avantPas;
            c1 = el.trouves.taille();
            vu = true;
        }
        if (o.marche.i < k || o.marche.x[k] != v ||
            (borne && o.marche.i == o.marche.n - 2 && o.marche.x[o.marche.n - 2] == el.arret))
            break;
        if (o.marche.i > k && o.marche.i <= o.marche.n - 2 && el.trouves.plein(o.cadre.plafondUnite)) {
            el.partiel = true;
            el.reprise.prendre(o);
            break;
        }
    }
    if (!el.coupe && arrete()) el.coupe = true;
    el.finInterne = !el.coupe && !el.partiel && o.marche.i < 0 && !el.finit;
    if (vu && !el.coupe && !el.partiel) {
        // That step again, with the answer -1 at its last expansion: the
        // fast search ends a range there, and the backtrack that follows may
        // or may not end the walk.
        Collecte essai;
        essai.vider(o.marche.n);
        essai.arretA = c1 - c0;
        avantDernier.poser(o);
        o.collecte = &essai;
        o.arretDemande = false;
        o.pas();
        el.dernierFinal = o.marche.i < 0;
    }
    o.collecte = nullptr;
}

long compterUnites(const Recherche& c, int ku, long plafond)
{
    Noeud racine;
    racine.prendre(c);
    Enumeration en(c, racine, 0, NTL::ZZ(), NTL::ZZ(), ku, false);
    const std::atomic<bool> jamais{false};
    long k = 0;
    while (std::unique_ptr<Element> el = en.suivant(jamais)) {
        if (el->unite && ++k >= plafond) break;
    }
    return k;
}

std::vector<Noeud> enfants(const Recherche& c, const Noeud& noeud, std::size_t& developpements)
{
    const NTL::ZZ v = noeud.i > 0 ? noeud.x[noeud.i] : NTL::ZZ();
    Enumeration en(c, noeud, noeud.i, v, NTL::ZZ(), noeud.i + 1, false);
    const std::atomic<bool> jamais{false};
    std::vector<Noeud> r;
    developpements = 0;
    while (std::unique_ptr<Element> el = en.suivant(jamais)) {
        if (el->unite) r.push_back(std::move(el->racine));
        else developpements += el->trouves.taille();
    }
    return r;
}

std::int64_t compterSousArbre(const Recherche& c, const Noeud& noeud, std::int64_t& pas)
{
    Recherche o;
    preparer(o, c);
    o.compteSeul = true;  // counted only, never cut: the subtree is walked whole
    o.cadre.plafondUnite = static_cast<std::size_t>(-1);
    o.cadre.plafondTravail = 0;
    Element el;
    el.unite = true;
    el.k = noeud.i;
    el.racine = noeud;
    const std::atomic<bool> jamais{false};
    parcourirUnite(o, el, jamais);
    pas = el.pas;
    return static_cast<std::int64_t>(el.trouves.taille());
}

int choisirProfondeur(const Recherche& c, long voulu, long plafond, long& total)
{
    int ku = 1;
    for (;; ku++) {
        total = compterUnites(c, ku, plafond);
        if (total >= voulu || ku >= c.marche.n - 3 || arrete()) break;
    }
    return ku;
}

}  // namespace egypte
