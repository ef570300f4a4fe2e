// The command line, on the built program.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnais.h"
#include "programme.h"

namespace {

using essai::executer;
using essai::Execution;

// A line of the report: "Nombre de solutions : 12" gives "12".
std::string valeur(const std::string& rapport, const std::string& debut)
{
    const std::size_t p = rapport.find(debut);
    if (p == std::string::npos) return "none";
    const std::size_t d = p + debut.size();
    return rapport.substr(d, rapport.find_first_of(" \n", d) - d);
}

TEST(Ligne, ChaqueFaconDeMontrerContreLaMarcheDeReference)
{
    // The expansions of the one-thread plain walk (the dialogue, every one
    // shown) are the reference: every way of showing them on the command
    // line, on one thread and on two, shows exactly the ones it must, and
    // the JSON report's count and extremes are those of the whole list.
    struct Cas { std::string tape; std::vector<std::string> args; };
    std::vector<Cas> cas = {
        {"5 6 1 2 0 0 0 5 6 0", {"5/6", "--min-n", "5", "--max-n", "6"}},
        {"3 4 1 1 0 0 0 4 5 0", {"3/4", "--repetitions", "--min-n", "4", "--max-n", "5"}},
        {"2 3 1 2 1 0 0 4 5 0", {"2/3", "--parite", "impaire", "--min-n", "4", "--max-n", "5"}},
    };
    // Random problems under random constraints, typed at the dialogue and
    // given as options: the two readings of the same constraints must agree.
    std::mt19937 g(20261207u);
    for (int k = 0; k < 8; k++) {
        const long Q = 2 + g() % 30, P = 1 + g() % (Q + 3);
        const int type = 1 + g() % 2, parite = g() % 3 == 0 ? 2 : 0;
        const long minx = g() % 2 ? 0 : 2 + g() % 6, M = type == 1 ? 60 + g() % 300 : 200 + g() % 800;
        std::vector<std::string> args = {std::to_string(P) + "/" + std::to_string(Q), "--max-xn", std::to_string(M),
                                         "--min-n", "4", "--max-n", "5"};
        if (type == 1) args.push_back("--repetitions");
        if (parite == 2) args.insert(args.end(), {"--parite", "paire"});
        if (minx) args.insert(args.end(), {"--min-x1", std::to_string(minx)});
        std::ostringstream tape;
        tape << P << ' ' << Q << " 1 " << type << ' ' << parite << ' ' << minx << ' ' << M << " 4 5 0";
        cas.push_back({tape.str(), args});
    }
    essai::Reglages reference;
    reference.simple = 1;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.tape);
        const std::vector<essai::Developpement> tous = essai::lignesSolutions(essai::calculer(c.tape, reference).sortie);
        std::vector<std::string> lignes;
        long plusGrand = 0, plusPetit = 0;
        for (const essai::Developpement& d : tous) {
            std::string l;
            for (long v : d) l += (l.empty() ? "" : " ") + std::to_string(v);
            lignes.push_back(l + "\n");
            plusGrand = std::max(plusGrand, d.back());
            plusPetit = plusPetit == 0 ? d.front() : std::min(plusPetit, d.front());
        }
        // The French report of the same search, its count and extremes.
        const Execution texte = executer(c.args);
        EXPECT_EQ(valeur(texte.sortie, "Nombre de solutions : "), tous.empty() ? "none" : std::to_string(tous.size()));
        if (!tous.empty()) {
            EXPECT_EQ(valeur(texte.sortie, "Plus grande valeur prise par xn : "), std::to_string(plusGrand));
            EXPECT_EQ(valeur(texte.sortie, "Plus petite valeur prise par x1 : "), std::to_string(plusPetit));
        }
        const std::size_t K = 1 + tous.size() / 7;
        const struct { std::vector<std::string> montrer; std::function<bool(std::size_t)> montre; } modes[] = {
            {{}, [](std::size_t) { return true; }},
            {{"--premieres", std::to_string(K)}, [&](std::size_t j) { return j < K; }},
            {{"--une-sur", std::to_string(K)}, [&](std::size_t j) { return j % K == 0; }},
            {{"--compter"}, [](std::size_t) { return false; }},
        };
        for (const auto& m : modes)
            for (const char* fils : {"1", "2"}) {
                std::vector<std::string> args = c.args;
                args.insert(args.end(), m.montrer.begin(), m.montrer.end());
                args.insert(args.end(), {"--json", "--fils", fils});
                SCOPED_TRACE(args[args.size() - 4] + " fils " + fils);
                const Execution e = executer(args);
                std::string attendu;
                for (std::size_t j = 0; j < lignes.size(); j++)
                    if (m.montre(j)) attendu += lignes[j];
                ASSERT_EQ(e.statut, tous.empty() ? 1 : 0) << e.erreurs;
                const std::size_t fin = e.sortie.rfind("{\"complet\"");
                EXPECT_EQ(e.sortie.substr(0, fin), attendu);
                const nlohmann::json r = nlohmann::json::parse(e.sortie.substr(fin));
                if (m.montrer.size() == 2 && m.montrer[0] == "--premieres") continue;
                EXPECT_EQ(r["solutions"], tous.size());
                if (tous.empty()) continue;
                EXPECT_EQ(r["plus_grand_xn"], std::to_string(plusGrand));
                EXPECT_EQ(r["plus_petit_x1"], std::to_string(plusPetit));
            }
    }
}

TEST(Ligne, LignesDeCommandeRefusees)
{
    // Each: status 2, nothing on standard output, one French line on error
    // holding the reason. The parser's own table is Commande.LignesRefusees;
    // here the lines refused once the problem is read (beginnings, scans).
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cas[] = {
        {{"--estimer", "3/4"}, "--estimer demande --longueur N"},
        {{"--debut", "3,2", "1/1"}, "le debut 3,2 n'est pas croissant"},
        {{"--debut", "2,2", "1/1"}, "le debut 2,2 repete un denominateur"},
        {{"--debut", "2,3,6", "1/1"}, "le debut 2,3,6 atteint deja P/Q"},
        {{"--debut", "1", "2/3"}, "le debut 1 atteint deja P/Q"},
        {{"--parite", "impaire", "--debut", "3,4", "1/1"}, "le debut 3,4 a un denominateur pair"},
        {{"--parite", "paire", "--debut", "3,4", "1/1"}, "le debut 3,4 a un denominateur impair"},
        {{"--min-x1", "3", "--debut", "2", "1/1"}, "commence sous --min-x1"},
        {{"--max-xn", "10", "--debut", "3,11", "1/1"}, "depasse --max-xn"},
        {{"--longueur", "2", "--debut", "3,4", "1/1"}, "n'est pas plus court que --longueur"},
        {{"--sans-un", "--debut", "1", "3/2"}, "commence par 1, que --sans-un exclut"},
        {{"--debut", "2,,3", "1/1"}, "--debut attend des entiers positifs"},
        {{"--balayer", "9..3"}, "--balayer attend Q1..Q2 avec Q1 <= Q2"},
        {{"--balayer", "1..3"}, "--balayer attend Q1..Q2 (2 <= Q1"},
        {{"--balayer", "2..4611686018427387904"}, "< 2^62"},
        {{"--moins-un", "4/5"}, "--moins-un va avec --balayer"},
        {{"--balayer", "2..9", "4/5"}, "--balayer exclut la fraction"},
        // The families, the counts, the best expansions, at most K terms.
        {{"--balayer", "2..9", "--numerateur", "0"}, "--numerateur attend un entier au moins egal a 1, pas '0'"},
        {{"--balayer", "1..3", "--numerateur", "4"}, "--numerateur va avec --compter, --meilleur ou --au-plus"},
        {{"--balayer", "0..9", "--numerateur", "4", "--compter"}, "--balayer attend Q1..Q2 (1 <= Q1"},
        {{"--meilleur", "--journal", "j", "4/5"}, "--meilleur exclut --journal hors d'un balayage"},
        {{"--balayer", "2..9", "--au-plus", "0"}, "--au-plus attend un entier de 1 a 100000, pas '0'"},
    };
    for (const auto& c : cas) {
        const Execution e = executer(c.args);
        EXPECT_EQ(e.statut, 2) << c.message;
        EXPECT_EQ(e.sortie, "") << c.message;
        essai::uneLigne(e, c.message);
    }
}

TEST(Ligne, FinsSansSolution)
{
    // A search that went to its end without an expansion is complete; one
    // stopped at the largest length searched is not, and says so: n ones
    // are an expansion of n/1, a length of 100001 is one of 1/2.
    const struct { std::vector<std::string> args; int statut; std::vector<std::string> fragments; } cas[] = {
        {{"--repetitions", "--compter", "100001/1"}, 3, {"Recherche arretee a la limite n = 100000 sans solution"}},
        {{"--json", "--longueur", "100001", "1/2"}, 3,
         {"\"complet\":false,", "\"raison\":\"limite_longueur\",\"solutions\":0}"}},
        {{"--json", "--max-n", "2", "4/5"}, 1, {"\"complet\":true,", "\"raison\":null,\"solutions\":0}"}},
        {{"--json", "--parite", "impaire", "1/2"}, 1, {"\"complet\":true,"}},
        {{"--max-n", "2", "4/5"}, 1, {"Aucune solution compte tenu des contraintes.\n"}},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.fragments[0]);
        const Execution e = executer(k.args);
        EXPECT_EQ(e.statut, k.statut);
        EXPECT_EQ(e.erreurs, "");
        for (const std::string& f : k.fragments) EXPECT_NE(e.sortie.find(f), std::string::npos) << e.sortie;
    }
}

TEST(Ligne, Estimation)
{
    // The report in French, then as JSON, with the time on the threads asked
    // for; a length ruled out is estimated at 0 at once.
    const Execution t = executer({"--estimer", "--duree", "1", "--fils", "3", "1/1", "--longueur", "6"});
    EXPECT_EQ(t.statut, 0);
    EXPECT_EQ(t.erreurs, "");
    EXPECT_GT(std::stod(valeur(t.sortie, "Nombre de solutions : environ ")), 0);
    for (const char* l : {"Fraction : 1/1\n", "n = 6\n", "Duree du compte sur un coeur : environ ",
                          "Duree du compte sur 3 fils : environ ", "Noeuds du parcours (pas) : environ ", "Sondages : "})
        EXPECT_NE(t.sortie.find(l), std::string::npos) << l;
    const Execution j = executer({"--estimer", "--json", "--duree", "1", "--fils", "3", "1/1", "--longueur", "6"});
    EXPECT_EQ(j.statut, 0);
    const nlohmann::json r = nlohmann::json::parse(j.sortie);
    EXPECT_EQ(r["estimation"], "sondages");
    EXPECT_EQ(r["longueur"], "6");
    EXPECT_EQ(r["fils"], 3);
    // 1 as 6 has few nodes at depth 3: they are the strata's.
    EXPECT_EQ(r["profondeur_strates"], 3);
    EXPECT_GE(r["noeuds_strates"].get<long>(), r["strates"].get<long>());
    EXPECT_GT(r["solutions"].get<double>(), 0);
    EXPECT_DOUBLE_EQ(r["secondes_fils"].get<double>() * 3, r["secondes_un_coeur"].get<double>());
    const Execution z = executer({"--estimer", "--json", "--parite", "impaire", "1/1", "--longueur", "8"});
    EXPECT_EQ(z.statut, 0);
    const nlohmann::json rz = nlohmann::json::parse(z.sortie);
    EXPECT_EQ(rz["estimation"], "exclue");
    EXPECT_EQ(rz["solutions"], 0);
}

}  // namespace
