// The report of a command-line computation: in French, one fact per line, or
// as one JSON object for scripts. Big integers are written in full (JSON
// strings, so that no reader rounds them).
#include <nlohmann/json.hpp>

#include <ostream>
#include <sstream>

#include "sortie/ligne.h"

namespace egypte {

namespace {

std::string texte(const NTL::ZZ& v)
{
    std::ostringstream o;
    o << v;
    return o.str();
}

// "x1,x2,...,xk"
std::string virgules(const std::vector<NTL::ZZ>& v)
{
    std::string s;
    for (const NTL::ZZ& x : v) s += (s.empty() ? "" : ",") + texte(x);
    return s;
}


const char* raison(Fin f)
{
    switch (f) {
    case Fin::interrompue:
        return "interrompu";
    case Fin::arretee:
        return "premieres";
    case Fin::limite:
        return "limite_longueur";
    case Fin::ecriture:
        return "erreur_ecriture";
    case Fin::complete:
        break;
    }
    return nullptr;
}

}  // namespace

void rapportProbleme(std::ostream& o, const Probleme& p, const NTL::ZZ& P, const NTL::ZZ& Q, bool sansUn)
{
    o << "Fraction : " << p.numerateur << '/' << p.denominateur;
    if (P != p.numerateur) o << " = " << P << '/' << Q;
    o << '\n';
    o << "Inconnues : " << (p.inconnues == Inconnues::distinctes ? "toutes differentes" : "pouvant etre egales") << ", parite "
      << nomParite(p.parite);
    if (!IsZero(p.minimumX1)) o << ", x1 >= " << p.minimumX1;
    if (!IsZero(p.maximumXn)) o << ", xn <= " << p.maximumXn;
    if (p.longueurMin != 0) o << ", n >= " << p.longueurMin;
    if (p.longueurMax != 0) o << ", n <= " << p.longueurMax;
    if (p.longueur != 0) o << ", n = " << p.longueur;
    if (sansUn) o << ", la valeur 1 interdite";
    if (!p.debut.empty()) o << ", debut " << virgules(p.debut);
    o << '\n';
}

void rapportTexte(std::ostream& o, const Probleme& p, const Resultat& r)
{
    rapportProbleme(o, p, r.P, r.Q, r.sansUn);
    if (r.solutions == 0) {
        if (r.fin == Fin::limite)
            o << "Recherche arretee a la limite n = " << LONGUEUR_MAX << " sans solution jusque-la : calcul incomplet.\n";
        else if (r.fin == Fin::ecriture)
            o << "Calcul arrete par une erreur d'ecriture avant qu'une solution soit trouvee.\n";
        else if (r.fin == Fin::interrompue)
            o << "Calcul interrompu avant qu'une solution soit trouvee.\n";
        else
            o << "Aucune solution compte tenu des contraintes.\n";
        return;
    }
    o << (p.longueur == 0 ? "Longueur minimale : " : "Longueur : ") << r.longueur << '\n';
    o << "Nombre de solutions : " << r.solutions << (r.complet() ? "" : " (compte incomplet)") << '\n';
    o << "Plus grande valeur prise par xn : " << r.plusGrandXn << '\n';
    o << "Plus petite valeur prise par x1 : " << r.plusPetitX1 << '\n';
    o << "Plus petite valeur prise par xn : " << r.plusPetitXn << '\n';
    o << "Calcul complet : " << (r.complet() ? "oui" : "non") << '\n';
}

void problemeJson(nlohmann::json& j, const Probleme& p, const NTL::ZZ& P, const NTL::ZZ& Q, bool sansUn)
{
    auto borne = [](const NTL::ZZ& v) { return IsZero(v) ? nlohmann::json(nullptr) : nlohmann::json(texte(v)); };
    // Lengths as text, as every bound of the report.
    auto longueur = [](long v) { return v == 0 ? nlohmann::json(nullptr) : nlohmann::json(std::to_string(v)); };
    j["fraction"] = texte(p.numerateur) + "/" + texte(p.denominateur);
    j["fraction_reduite"] = texte(P) + "/" + texte(Q);
    j["contraintes"] = {{"inconnues", p.inconnues == Inconnues::distinctes ? "differentes" : "repetitions"},
                        {"parite", nomParite(p.parite)},
                        {"min_x1", borne(p.minimumX1)},
                        {"max_xn", borne(p.maximumXn)},
                        {"min_n", longueur(p.longueurMin)},
                        {"max_n", longueur(p.longueurMax)},
                        {"longueur", longueur(p.longueur)},
                        {"sans_un", sansUn}};
    if (!p.debut.empty()) j["contraintes"]["debut"] = virgules(p.debut);
}

void rapportJson(std::ostream& o, const Probleme& p, const Resultat& r) { o << rapportObjet(p, r).dump() << '\n'; }

nlohmann::json rapportObjet(const Probleme& p, const Resultat& r)
{
    nlohmann::json j;
    problemeJson(j, p, r.P, r.Q, r.sansUn);
    const bool trouve = r.solutions > 0;
    j["longueur_minimale"] = trouve ? nlohmann::json(r.longueur) : nlohmann::json(nullptr);
    j["solutions"] = r.solutions;
    j["plus_grand_xn"] = trouve ? nlohmann::json(texte(r.plusGrandXn)) : nlohmann::json(nullptr);
    j["plus_petit_x1"] = trouve ? nlohmann::json(texte(r.plusPetitX1)) : nlohmann::json(nullptr);
    j["plus_petit_xn"] = trouve ? nlohmann::json(texte(r.plusPetitXn)) : nlohmann::json(nullptr);
    j["complet"] = r.complet();
    const char* pourquoi = raison(r.fin);
    j["raison"] = pourquoi != nullptr ? nlohmann::json(pourquoi) : nlohmann::json(nullptr);
    return j;
}

void rapportMeilleurTexte(std::ostream& o, const Probleme& p, const ResultatMeilleur& m)
{
    rapportProbleme(o, p, m.P, m.Q, p.sansUn && m.P >= m.Q);
    if (m.x.empty()) {
        if (m.fin == Fin::limite)
            o << "Recherche arretee a la limite n = " << LONGUEUR_MAX << " sans solution jusque-la : calcul incomplet.\n";
        else if (m.fin == Fin::interrompue)
            o << "Calcul interrompu avant qu'une solution soit trouvee.\n";
        else
            o << "Aucune solution compte tenu des contraintes.\n";
        return;
    }
    o << (p.longueur == 0 ? "Longueur minimale : " : "Longueur : ") << m.longueur << '\n';
    o << "Meilleur developpement : " << virgules(m.x) << (m.prouve ? "" : " (le meilleur trouve, non prouve)") << '\n';
    o << "Plus grande valeur prise par xn : " << m.x.back() << '\n';
    o << "Calcul complet : " << (m.complet() ? "oui" : "non") << '\n';
}

nlohmann::json rapportMeilleurObjet(const Probleme& p, const ResultatMeilleur& m)
{
    nlohmann::json j;
    problemeJson(j, p, m.P, m.Q, p.sansUn && m.P >= m.Q);
    const bool trouve = !m.x.empty();
    j["longueur_minimale"] = trouve ? nlohmann::json(m.longueur) : nlohmann::json(nullptr);
    std::vector<std::string> x;
    for (const NTL::ZZ& v : m.x) x.push_back(texte(v));
    j["meilleur"] = trouve ? nlohmann::json(x) : nlohmann::json(nullptr);
    j["plus_grand_xn"] = trouve ? nlohmann::json(texte(m.x.back())) : nlohmann::json(nullptr);
    j["prouve"] = m.prouve;
    j["complet"] = m.complet();
    const char* pourquoi = raison(m.fin);
    j["raison"] = pourquoi != nullptr ? nlohmann::json(pourquoi) : nlohmann::json(nullptr);
    return j;
}

}  // namespace egypte
