#include "output/balayage_sortie.h"

#include <nlohmann/json.hpp>

#include <sstream>

#include "output/liste.h"

namespace egypte {

std::string SortieBalayage::texte(const LigneBalayage& l, const std::vector<RecordBalayage>& records) const
{
    std::ostringstream o;
    for (const RecordBalayage& r : records) {
        if (json_) o << nlohmann::json{{"record", r.n}, {"p", r.p}, {"q", r.q}}.dump() << '\n';
        else o << "record " << r.n << " : " << r.p << '/' << r.q << '\n';
    }
    if (json_) {
        nlohmann::json j{{"q", l.q}};
        if (moinsUn_) {
            j["longueur"] = l.comptes.empty() ? nlohmann::json() : nlohmann::json(l.comptes.size());
        } else {
            j["longueurs"] = l.comptes;
            j["sans"] = l.sans;
        }
        o << j.dump() << '\n';
        return o.str();
    }
    o << l.q << ':';
    if (moinsUn_) {
        if (l.comptes.empty()) o << " sans";
        else o << ' ' << l.comptes.size();
    } else {
        for (std::int64_t c : l.comptes) o << ' ' << c;
        if (l.sans > 0) o << " ; sans : " << l.sans;
    }
    o << '\n';
    return o.str();
}

bool SortieBalayage::recevoir(const LigneBalayage& l, const std::vector<RecordBalayage>& records,
                              std::string& erreur)
{
    return ecrireSortieStandard(texte(l, records), erreur);
}

}  // namespace egypte
