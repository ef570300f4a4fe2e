#include "balayage/ligne_balayage.h"

#include <numeric>
#include <sstream>

#include "facteurs/facteurs.h"

namespace egypte {

std::int64_t denominateurSuivant(const DemandeBalayage& d, std::int64_t q)
{
    for (q = std::max(q + 1, d.q1); q <= d.q2; q++)
        if (!d.premiers || premier64(static_cast<std::uint64_t>(q))) return q;
    return 0;
}

bool calculerLigne(const Probleme& contraintes, const DemandeBalayage& d, std::int64_t q, LigneBalayage& l,
                   std::int64_t& fractions)
{
    l = LigneBalayage{};
    l.q = q;
    if (d.mode != ModeBalayage::longueurs) return calculerFractions(contraintes, d, q, l, fractions);
    const bool moinsUn = d.moinsUn;
    const NTL::ZZ Q(q);
    for (std::int64_t p = moinsUn ? q - 1 : 1; p < q; p++) {
        if (std::gcd(p, q) != 1) continue;
        const LongueurMinimale m = longueurMinimale(contraintes, NTL::ZZ(p), Q);
        if (m.issue == LongueurMinimale::Issue::interrompue) return false;
        fractions++;
        if (m.issue == LongueurMinimale::Issue::aucune) l.sans++;
        if (m.issue == LongueurMinimale::Issue::limite) l.limite++;
        if (!m.trouvee()) continue;
        const std::size_t i = static_cast<std::size_t>(m.n);
        if (l.comptes.size() < i) {
            l.comptes.resize(i, 0);
            l.premiers.resize(i, 0);
        }
        if (l.comptes[i - 1]++ == 0) l.premiers[i - 1] = p;
    }
    return true;
}

std::vector<RecordBalayage> nouveauxRecords(const LigneBalayage& l, std::vector<bool>& vues)
{
    std::vector<RecordBalayage> r;
    if (vues.size() < l.comptes.size()) vues.resize(l.comptes.size(), false);
    for (std::size_t i = 0; i < l.comptes.size(); i++)
        if (l.comptes[i] > 0 && !vues[i]) {
            vues[i] = true;
            r.push_back(RecordBalayage{static_cast<int>(i + 1), l.premiers[i], l.q});
        }
    return r;
}

std::string texteLigne(const LigneBalayage& l)
{
    std::ostringstream o;
    o << l.q << ' ' << l.sans << ' ' << l.comptes.size();
    for (std::size_t i = 0; i < l.comptes.size(); i++) o << ' ' << l.comptes[i] << ' ' << l.premiers[i];
    // Only when there are some, so that the lines of earlier journals read the same.
    if (l.limite > 0) o << " L " << l.limite;
    if (l.exactes > 0) o << " E " << l.exactes;
    if (l.verifiees > 0) ecrireFractions(o, l);
    return o.str();
}

bool lireLigne(const std::string& texte, LigneBalayage& l)
{
    std::istringstream in(texte);
    std::size_t k = 0;
    l = LigneBalayage{};
    if (!(in >> l.q >> l.sans >> k) || l.q < 1 || l.sans < 0 || k > static_cast<std::size_t>(LONGUEUR_MAX))
        return false;
    l.comptes.resize(k);
    l.premiers.resize(k);
    for (std::size_t i = 0; i < k; i++) {
        if (!(in >> l.comptes[i] >> l.premiers[i])) return false;
        // A numerator is below q, and it is there exactly when its count is not 0.
        if (l.comptes[i] < 0 || l.premiers[i] < 0 || l.premiers[i] >= l.q || (l.comptes[i] == 0) != (l.premiers[i] == 0))
            return false;
    }
    if (k > 0 && l.comptes[k - 1] == 0) return false;
    std::string reste;
    if (!(in >> reste)) return true;
    if (reste == "L") {
        if (!(in >> l.limite) || l.limite < 1) return false;
        if (!(in >> reste)) return true;
    }
    if (reste == "E") {
        if (!(in >> l.exactes) || l.exactes < 1) return false;
        if (!(in >> reste)) return true;
    }
    return reste == "F" && lireFractions(in, l) && !(in >> reste);
}

}  // namespace egypte
