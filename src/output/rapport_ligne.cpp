// The report of a command-line computation: in French, one fact per line, or
// as one JSON object for scripts. Big integers are written in full (JSON
// strings, so that no reader rounds them).
#include <nlohmann/json.hpp>

#include <ostream>
#include <sstream>

#include "output/ligne.h"
#include "search/etat.h"

namespace egypte {

namespace {

std::string texte(const NTL::ZZ& v)
{
    std::ostringstream o;
    o << v;
    return o.str();
}

const char* nomParite(int p) { return p == 2 ? "paire" : (p == 1 ? "impaire" : "indifferente"); }

}  // namespace

void rapportProbleme(std::ostream& o, const Commande& c, const Recherche& s)
{
    const Probleme& p = c.probleme;
    o << "Fraction : " << s.P1 << '/' << s.Q1;
    if (s.pg != 1) o << " = " << s.P << '/' << s.Q;
    o << '\n';
    o << "Inconnues : " << (s.type == 2 ? "toutes differentes" : "pouvant etre egales") << ", parite "
      << nomParite(s.parite);
    if (!IsZero(p.minx)) o << ", x1 >= " << p.minx;
    if (!IsZero(p.M)) o << ", xn <= " << p.M;
    if (!IsZero(p.minn)) o << ", n >= " << p.minn;
    if (!IsZero(p.maxn)) o << ", n <= " << p.maxn;
    if (!IsZero(p.longueur)) o << ", n = " << p.longueur;
    if (s.pas1 == 1) o << ", la valeur 1 interdite";
    o << '\n';
}

void rapportTexte(std::ostream& o, const Commande& c, const Recherche& s, const Bilan& b)
{
    const Probleme& p = c.probleme;
    rapportProbleme(o, c, s);
    if (!b.trouve) {
        const std::string raison = b.raison != nullptr ? b.raison : "";
        if (raison == "limite_longueur")
            o << "Recherche arretee a la limite n = " << NMAX
              << " sans solution jusque-la : calcul incomplet.\n";
        else if (raison == "erreur_ecriture") o << "Calcul arrete par une erreur d'ecriture avant qu'une solution soit trouvee.\n";
        else if (b.interrompu) o << "Calcul interrompu avant qu'une solution soit trouvee.\n";
        else o << "Aucune solution compte tenu des contraintes.\n";
        return;
    }
    o << (IsZero(p.longueur) ? "Longueur minimale : " : "Longueur : ") << s.n << '\n';
    o << "Nombre de solutions : " << s.K1 << (b.complet ? "" : " (compte incomplet)") << '\n';
    o << "Plus grande valeur prise par xn : " << s.m << '\n';
    o << "Plus petite valeur prise par x1 : " << s.m1 << '\n';
    o << "Calcul complet : " << (b.complet ? "oui" : "non") << '\n';
}

void problemeJson(nlohmann::json& j, const Commande& c, const Recherche& s)
{
    const Probleme& p = c.probleme;
    auto borne = [](const NTL::ZZ& v) { return IsZero(v) ? nlohmann::json(nullptr) : nlohmann::json(texte(v)); };
    j["fraction"] = texte(s.P1) + "/" + texte(s.Q1);
    j["fraction_reduite"] = texte(s.P) + "/" + texte(s.Q);
    j["contraintes"] = {{"inconnues", s.type == 2 ? "differentes" : "repetitions"},
                        {"parite", nomParite(s.parite)},
                        {"min_x1", borne(p.minx)},
                        {"max_xn", borne(p.M)},
                        {"min_n", borne(p.minn)},
                        {"max_n", borne(p.maxn)},
                        {"longueur", borne(p.longueur)},
                        {"sans_un", s.pas1 == 1}};
}

void rapportJson(std::ostream& o, const Commande& c, const Recherche& s, const Bilan& b)
{
    nlohmann::json j;
    problemeJson(j, c, s);
    j["longueur_minimale"] = b.trouve ? nlohmann::json(s.n) : nlohmann::json(nullptr);
    j["solutions"] = s.K1;
    j["plus_grand_xn"] = b.trouve ? nlohmann::json(texte(s.m)) : nlohmann::json(nullptr);
    j["plus_petit_x1"] = b.trouve ? nlohmann::json(texte(s.m1)) : nlohmann::json(nullptr);
    j["complet"] = b.complet;
    j["raison"] = b.raison != nullptr ? nlohmann::json(b.raison) : nlohmann::json(nullptr);
    o << j.dump() << '\n';
}

}  // namespace egypte
