#include "output/balayage_sortie.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sstream>

#include "egypte/journal.h"

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
    const std::string t = texte(l, records);
    derniere_ = t.substr(t.rfind('\n', t.size() - 2) + 1);
    // Flushed at once: a line is out when it is handed over, journal or not.
    if (std::fwrite(t.data(), 1, t.size(), liste_.flux()) == t.size() && std::fflush(liste_.flux()) == 0) return true;
    erreur = "impossible d'ecrire " + liste_.nom() + " (" + std::strerror(errno) + ")";
    return false;
}

void SortieBalayage::commencer(const Position* reprise)
{
    liste_.ouvrir(chemin_, journal_, reprise);
    if (reprise != nullptr) fin_ = reprise->fin;
    // Standard output cannot be cut back: the line after the last one
    // recorded may have gone out before its run stopped.
    if (reprise != nullptr && liste_.flux() == stdout)
        std::cerr << "egypte : reprise du balayage ; sur la sortie standard, sa premiere ligne a pu etre deja "
                     "ecrite par le calcul arrete (--sortie FICHIER l'evite)\n";
}

bool SortieBalayage::ecrire(Position& p, std::string& erreur)
{
    p = Position{};
    long long position = 0;
    if (!liste_.surLeDisque(position, erreur)) return false;
    // Standard output cannot be cut back: only a file's size is recorded.
    if (!liste_.fichier()) return true;
    if (!derniere_.empty()) fin_ = sommeControle(derniere_);
    derniere_.clear();
    p.octets = position;
    p.fin = position == 0 ? "-" : fin_;
    return true;
}

}  // namespace egypte
