#include "sortie/balayage_sortie.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sstream>

#include "egypte/journal.h"
#include "sortie/ligne.h"

namespace egypte {

void RecepteurTableau::fractions(std::ostream& o, const LigneBalayage& l) const
{
    const bool famille = !IsZero(demande_.numerateur);
    for (const FractionBalayee& f : l.fractions) {
        const Resultat& r = f.resultat;
        const bool limite = r.fin == Fin::limite;
        if (demande_.mode == ModeBalayage::auPlus) {
            // p and q as numbers in full, as the scan writes every q (a
            // family's numerator may be past 64 bits).
            if (json_)
                o << "{\"complet\":" << (limite ? "false" : "true") << ",\"longueur\":"
                  << (r.longueur > 0 ? std::to_string(r.longueur) : "null") << ",\"p\":" << f.p << ",\"q\":" << l.q
                  << ",\"raison\":" << (limite ? "\"limite_longueur\"" : "null") << '}';
            else o << f.p << '/' << l.q << ": " << (r.longueur > 0 ? std::to_string(r.longueur) : limite ? "limite" : "sans");
            o << '\n';
            continue;
        }
        if (json_) {
            Probleme pb = contraintes_;
            pb.numerateur = f.p;
            pb.denominateur = l.q;
            if (demande_.mode == ModeBalayage::meilleur) {
                ResultatMeilleur m;
                m.fin = r.fin;
                m.longueur = r.longueur;
                m.P = r.P;
                m.Q = r.Q;
                m.x = f.meilleur;
                m.prouve = f.prouve;
                o << rapportMeilleurObjet(pb, m).dump() << '\n';
            } else {
                o << rapportObjet(pb, r).dump() << '\n';
            }
            continue;
        }
        if (demande_.mode == ModeBalayage::compter) {
            // A family's count is a b-file's line, n a(n); "limite" when
            // the search met no expansion up to the length limit (the count
            // is not known).
            if (famille) o << l.q;
            else o << f.p << '/' << l.q;
            if (limite) o << " limite\n";
            else o << ' ' << r.solutions << '\n';
            continue;
        }
        o << f.p << '/' << l.q << ':';
        if (f.meilleur.empty()) o << (limite ? " limite" : " aucun");
        for (const NTL::ZZ& v : f.meilleur) o << ' ' << v;
        o << '\n';
    }
}

std::string RecepteurTableau::texte(const LigneBalayage& l, const std::vector<RecordBalayage>& records) const
{
    std::ostringstream o;
    if (demande_.mode != ModeBalayage::longueurs) {
        fractions(o, l);
        return o.str();
    }
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
        // Only when there are some, so that the other lines stay as they were.
        if (l.limite > 0) j["limite"] = l.limite;
        o << j.dump() << '\n';
        return o.str();
    }
    o << l.q << ':';
    if (moinsUn_) {
        if (!l.comptes.empty()) o << ' ' << l.comptes.size();
        else o << (l.limite > 0 ? " limite" : " sans");
    } else {
        for (std::int64_t c : l.comptes) o << ' ' << c;
        if (l.sans > 0) o << " ; sans : " << l.sans;
        if (l.limite > 0) o << " ; limite : " << l.limite;
    }
    o << '\n';
    return o.str();
}

Ecriture RecepteurTableau::recevoir(const LigneBalayage& l, const std::vector<RecordBalayage>& records)
{
    const std::string t = texte(l, records);
    // A line may write nothing (every fraction of q within K terms).
    if (t.empty()) return {};
    // The checksum names the last line alone, not the records before it.
    derniere_ = t.substr(t.size() < 2 ? 0 : t.rfind('\n', t.size() - 2) + 1);
    // Flushed at once: a line is out when it is handed over, journal or not.
    if (std::fwrite(t.data(), 1, t.size(), liste_.flux()) == t.size() && std::fflush(liste_.flux()) == 0) return {};
    return Ecriture::echec("impossible d'ecrire " + liste_.nom() + " (" + std::strerror(errno) + ")");
}

void RecepteurTableau::commencer(const Position* reprise)
{
    liste_.ouvrir(chemin_, journal_, reprise);
    if (reprise != nullptr) fin_ = reprise->fin;
    // Standard output cannot be cut back: the line after the last one
    // recorded may have gone out before its run stopped.
    if (reprise != nullptr && liste_.flux() == stdout)
        std::cerr << "egypte : reprise du balayage ; sur la sortie standard, sa premiere ligne a pu etre deja "
                     "ecrite par le calcul arrete (--sortie FICHIER l'evite)\n";
}

Ecriture RecepteurTableau::ecrire(Position& p)
{
    p = Position{};
    long long position = 0;
    std::string erreur;
    if (!liste_.surLeDisque(position, erreur)) return Ecriture::echec(erreur);
    // Standard output cannot be cut back: only a file's size is recorded.
    if (!liste_.fichier()) return {};
    if (!derniere_.empty()) fin_ = sommeControle(derniere_);
    derniere_.clear();
    p.octets = position;
    p.fin = position == 0 ? "-" : fin_;
    return {};
}

}  // namespace egypte
