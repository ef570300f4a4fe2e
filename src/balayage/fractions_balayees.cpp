// The fractions of one denominator in the modes of a scan that give a result
// per fraction (a count, the best expansion, the fractions past K terms),
// and their text in a line, the form a journal records and a process sends
// to another.
#include <algorithm>
#include <numeric>
#include <optional>
#include <sstream>

#include "balayage/au_plus.h"
#include "balayage/ligne_balayage.h"
#include "egypte/meilleur.h"

namespace egypte {

namespace {

// The numerators of q: the family's one, or every p < q prime to q (only
// q - 1 with moinsUn).
std::vector<NTL::ZZ> numerateurs(const DemandeBalayage& d, std::int64_t q)
{
    if (!IsZero(d.numerateur)) return {d.numerateur};
    std::vector<NTL::ZZ> v;
    for (std::int64_t p = d.moinsUn ? q - 1 : 1; p < q; p++)
        if (std::gcd(p, q) == 1) v.emplace_back(p);
    return v;
}

Probleme fraction(const Probleme& c, const NTL::ZZ& p, std::int64_t q)
{
    Probleme pb = c;
    pb.numerateur = p;
    pb.denominateur = q;
    return pb;
}

// Whether p/q needs more than K terms: its minimal length when it does, a
// length within K otherwise. The fast way for the numerators in machine
// words, the exact search for the others.
LongueurMinimale auDela(AuPlus& a, const Probleme& c, const NTL::ZZ& p, std::int64_t q, std::int64_t& exactes)
{
    if (NumBits(p) < 63) {
        const DecisionAuPlus d = decider(a, NTL::to_long(p));
        if (d.exacte) exactes++;
        if (!d.auPlus) return *d.exacte;
        LongueurMinimale m;
        m.issue = LongueurMinimale::Issue::trouvee;
        m.n = std::max(d.longueur, 1);
        return m;
    }
    exactes++;
    return longueurMinimale(c, p, NTL::ZZ(q));
}

// One fraction: false when the stop cut its search.
bool calculer(const Probleme& c, const DemandeBalayage& d, const NTL::ZZ& p, std::int64_t q, FractionBalayee& f,
              AuPlus* decideur, std::int64_t& exactes)
{
    f.p = p;
    const Probleme pb = fraction(c, p, q);
    Demande dm;
    dm.fils = 1;
    switch (d.mode) {
    case ModeBalayage::compter:
        dm.montrer = Montrer::compter;
        f.resultat = chercher(pb, dm);
        return f.resultat.fin != Fin::interrompue;
    case ModeBalayage::meilleur: {
        const ResultatMeilleur m = meilleur(pb, dm);
        f.resultat.fin = m.fin;
        f.resultat.longueur = m.longueur;
        f.resultat.P = m.P;
        f.resultat.Q = m.Q;
        f.resultat.sansUn = pb.sansUn && m.P >= m.Q;
        f.meilleur = m.x;
        f.prouve = m.prouve;
        return f.resultat.fin != Fin::interrompue;
    }
    case ModeBalayage::auPlus: {
        const LongueurMinimale m = auDela(*decideur, c, p, q, exactes);
        if (m.issue == LongueurMinimale::Issue::interrompue) return false;
        f.resultat.longueur = m.n;
        if (m.issue == LongueurMinimale::Issue::limite) f.resultat.fin = Fin::limite;
        return true;
    }
    case ModeBalayage::longueurs:
        break;
    }
    return false;
}

}  // namespace

bool calculerFractions(const Probleme& c, const DemandeBalayage& d, std::int64_t q, LigneBalayage& l,
                       std::int64_t& fractions)
{
    std::optional<AuPlus> decideur;
    if (d.mode == ModeBalayage::auPlus) decideur.emplace(c, q, static_cast<int>(d.auPlus));
    for (const NTL::ZZ& p : numerateurs(d, q)) {
        FractionBalayee f;
        if (!calculer(c, d, p, q, f, decideur ? &*decideur : nullptr, l.exactes)) return false;
        fractions++;
        l.verifiees++;
        // In auPlus, only the fractions that need more than K terms (or
        // have none, or none up to the limit) are kept.
        if (d.mode != ModeBalayage::auPlus || f.resultat.longueur == 0 || f.resultat.longueur > d.auPlus)
            l.fractions.push_back(std::move(f));
    }
    return true;
}

void ecrireFractions(std::ostream& o, const LigneBalayage& l)
{
    o << " F " << l.verifiees << ' ' << l.fractions.size();
    for (const FractionBalayee& f : l.fractions) {
        const Resultat& r = f.resultat;
        o << ' ' << f.p << ' ' << static_cast<int>(r.fin) << ' ' << r.longueur << ' ' << r.solutions << ' ' << r.P
          << ' ' << r.Q << ' ' << r.sansUn << ' ' << r.plusGrandXn << ' ' << r.plusPetitX1 << ' ' << r.plusPetitXn << ' '
          << f.prouve << ' ' << f.meilleur.size();
        for (const NTL::ZZ& x : f.meilleur) o << ' ' << x;
    }
}

void ajouter(TotauxBalayage& t, const LigneBalayage& l)
{
    t.limites += l.limite;
    for (const FractionBalayee& f : l.fractions)
        if (f.resultat.fin == Fin::limite) t.limites++;
    t.verifiees += l.verifiees;
    t.exactes += l.exactes;
    t.auDela += static_cast<std::int64_t>(l.fractions.size());
}

bool lireFractions(std::istream& in, LigneBalayage& l)
{
    std::size_t k = 0;
    if (!(in >> l.verifiees >> k) || l.verifiees < 0 || k > static_cast<std::size_t>(l.verifiees)) return false;
    l.fractions.resize(k);
    for (FractionBalayee& f : l.fractions) {
        Resultat& r = f.resultat;
        int fin = 0;
        std::size_t m = 0;
        if (!(in >> f.p >> fin >> r.longueur >> r.solutions >> r.P >> r.Q >> r.sansUn >> r.plusGrandXn >> r.plusPetitX1 >>
              r.plusPetitXn >> f.prouve >> m))
            return false;
        if (f.p < 1 || fin < 0 || fin > static_cast<int>(Fin::ecriture) || r.longueur < 0 || r.longueur > LONGUEUR_MAX ||
            r.solutions < 0 || m > static_cast<std::size_t>(LONGUEUR_MAX))
            return false;
        r.fin = static_cast<Fin>(fin);
        f.meilleur.resize(m);
        for (NTL::ZZ& x : f.meilleur)
            if (!(in >> x) || x < 1) return false;
    }
    return true;
}

}  // namespace egypte
