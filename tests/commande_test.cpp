// The command line: what each accepted line leaves in Commande, and the line
// each refused one gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "commande/commande.h"

namespace {

using namespace egypte;
using Args = std::vector<std::string>;

bool analyserMots(const Args& mots, Commande& c, std::string& erreur)
{
    std::vector<const char*> argv{"egypte"};
    for (const std::string& m : mots) argv.push_back(m.c_str());
    return analyser(static_cast<int>(argv.size()), argv.data(), c, erreur);
}

// The fraction, then every field that differs from its default, so that a
// field set by mistake shows too.
std::string resume(const Commande& c)
{
    const Commande d;
    const Probleme &p = c.probleme, &q = d.probleme;
    std::ostringstream o;
    o << p.numerateur << '/' << p.denominateur;
    auto champ = [&o](const char* nom, const auto& v, const auto& defaut) {
        if (v != defaut) o << ' ' << nom << '=' << v;
    };
    champ("type", static_cast<int>(p.inconnues), static_cast<int>(q.inconnues));
    champ("parite", static_cast<int>(p.parite), static_cast<int>(q.parite));
    champ("minx", p.minimumX1, q.minimumX1); champ("M", p.maximumXn, q.maximumXn);
    champ("minn", p.longueurMin, q.longueurMin); champ("maxn", p.longueurMax, q.longueurMax);
    champ("sansUn", p.sansUn, q.sansUn); champ("longueur", p.longueur, q.longueur);
    champ("montrer", static_cast<int>(c.montrer), static_cast<int>(d.montrer)); champ("K", c.K, d.K);
    champ("json", c.json, d.json); champ("journal", c.journal, d.journal);
    champ("sortie", c.sortie, d.sortie); champ("fils", c.fils, d.fils);
    champ("action", static_cast<int>(c.action), static_cast<int>(d.action)); champ("duree", c.duree, d.duree);
    return o.str();
}

const std::string quarante = "1234567890123456789012345678901234567891/9876543210987654321098765432109876543210";

TEST(Commande, LignesAcceptees)
{
    const struct { Args args; std::string attendu; } cas[] = {
        {{"4/5"}, "4/5"}, {{"4", "5"}, "4/5"}, {{quarante}, quarante}, {{"007/010"}, "7/10"},
        {{"--parite", "paire", "3/4"}, "3/4 parite=2"}, {{"--parite=impaire", "3/4"}, "3/4 parite=1"},
        {{"3/4", "--parite", "indifferente"}, "3/4"},
        {{"--min-x1", "2", "--max-xn", "100000000000000000000000", "3/4"}, "3/4 minx=2 M=100000000000000000000000"},
        {{"--min-x1", "0", "--max-xn", "0", "--min-n", "0", "--max-n", "0", "3/4"}, "3/4"},
        {{"--min-n", "2", "--max-n", "5", "3", "4"}, "3/4 minn=2 maxn=5"},
        {{"--longueur", "6", "3/4"}, "3/4 longueur=6"},
        {{"--repetitions", "--sans-un", "5/2"}, "5/2 type=1 sansUn=1"},
        {{"--premieres", "10", "3/4"}, "3/4 montrer=1 K=10"},
        {{"--une-sur", "123456789012345678901", "3/4"}, "3/4 montrer=2 K=123456789012345678901"},
        {{"--compter", "1/1", "--longueur", "7"}, "1/1 longueur=7 montrer=3"},
        {{"--json", "--fils", "01024", "3/4"}, "3/4 json=1 fils=1024"},
        {{"--sortie", "liste.txt", "--journal", "liste.journal", "3/4", "--longueur", "6"},
         "3/4 longueur=6 journal=liste.journal sortie=liste.txt"},
        {{"--estimer", "--compter", "1/1", "--longueur", "9"}, "1/1 longueur=9 montrer=3 action=2"},
        {{"--estimer", "--duree", "060", "--json", "--fils", "64", "2/3", "--longueur", "4"},
         "2/3 longueur=4 json=1 fils=64 action=2 duree=60"},
        {{"--", "4/5"}, "4/5"}, {{"--json", "--", "4", "5"}, "4/5 json=1"}, {{"4/5", "--"}, "4/5"},
        {{"--aide"}, "1/1 action=4"}, {{"--help", "--aide"}, "1/1 action=4"}, {{"--version", "x/y"}, "1/1 action=5"},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.attendu);
        Commande c;
        std::string erreur = "non vide";
        EXPECT_TRUE(analyserMots(k.args, c, erreur)) << erreur;
        EXPECT_EQ(erreur, "");
        EXPECT_EQ(resume(c), k.attendu);
    }
}

TEST(Commande, LignesRefusees)
{
    const struct { Args args; std::string fragment; } cas[] = {
        {{"--inconnue", "3/4"}, "option inconnue : '--inconnue'"}, {{"-x", "3/4"}, "option inconnue : '-x'"},
        {{}, "fraction manquante"}, {{"3", "4", "5"}, "argument en trop : '5'"},
        {{"3/"}, "fraction mal formee : '3/'"}, {{"3/4/5"}, "fraction mal formee : '3/4/5'"},
        {{"-3/4"}, "fraction mal formee : '-3/4'"}, {{"3/4\nx"}, "fraction mal formee : '3/4?x'"},
        {{"3"}, "fraction incomplete : '3'"},
        {{"3/0"}, "denominateur nul : '3/0'"}, {{"0/5"}, "numerateur nul : '0/5'"},
        {{"0", "5"}, "numerateur nul : '0'"}, {{"3", "-4"}, "denominateur mal forme : '-4'"},
        {{"--min-x1", "-5", "3/4"}, "--min-x1 attend un entier positif ou nul, pas '-5'"},
        {{"--min-n", "+2", "3/4"}, "--min-n attend un entier positif ou nul, pas '+2'"},
        {{"--min-x1", "5", "--max-xn", "5", "3/4"}, "--min-x1 doit etre inferieur a --max-xn"},
        {{"--min-n", "3", "--max-n", "2", "3/4"}, "--min-n doit etre inferieur a --max-n"},
        {{"--longueur", "0", "3/4"}, "--longueur attend un entier au moins egal a 1, pas '0'"},
        {{"--une-sur", "0", "3/4"}, "--une-sur attend un entier au moins egal a 1"},
        {{"--parite", "pair", "3/4"}, "--parite attend paire, impaire ou indifferente, pas 'pair'"},
        {{"--parite", "4/5"}, "--parite attend paire, impaire ou indifferente, pas '4/5'"},
        {{"--", "--json", "4/5"}, "numerateur mal forme : '--json'"}, {{"3/4", "--longueur"}, "l'option --longueur attend une valeur"},
        {{"--json", "--json", "3/4"}, "l'option --json est donnee plusieurs fois"},
        {{"--fils", "2", "3/4", "--fils", "3"}, "l'option --fils est donnee plusieurs fois"},
        {{"--json=oui", "3/4"}, "l'option --json ne prend pas de valeur"},
        {{"--fils", "1025", "3/4"}, "--fils attend un entier de 1 a 1024, pas '1025'"},
        {{"--fils", "99999999999999999999", "3/4"}, "--fils attend un entier de 1 a 1024"},
        {{"--journal", "", "3/4"}, "--journal attend un nom de fichier non vide"},
        {{"--estimer", "3/4"}, "--estimer demande --longueur N"},
        {{"--estimer", "--longueur", "3", "3/4"}, "--estimer demande une longueur d'au moins 4"},
        {{"--duree", "5", "1/1", "--longueur", "8"}, "--duree va avec --estimer"},
        {{"--estimer", "--duree", "86401", "1/1", "--longueur", "8"}, "--duree attend un nombre de secondes de 1 a 86400"},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.fragment);
        Commande c;
        std::string erreur;
        EXPECT_FALSE(analyserMots(k.args, c, erreur));
        EXPECT_TRUE(erreur.rfind("egypte : ", 0) == 0 && erreur.find('\n') == std::string::npos) << erreur;
        EXPECT_NE(erreur.find(k.fragment), std::string::npos) << erreur;
    }
}

TEST(Commande, FilsDeLEnvironnement)
{
    // EGYPTE_FILS stands for --fils when it is not given, and is judged the
    // same way: a mistyped value is refused, not replaced by every core.
    const struct { const char* valeur; const char* fils; std::string attendu; } cas[] = {
        {"3", nullptr, "4/5 fils=3"}, {"0003", nullptr, "4/5 fils=3"}, {"abc", "2", "4/5 fils=2"},
        {"abc", nullptr, "EGYPTE_FILS attend un entier de 1 a 1024, pas 'abc'"},
        {"0", nullptr, "pas '0'"}, {"100000", nullptr, "pas '100000'"}, {"", nullptr, "pas ''"},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.valeur);
        ::setenv("EGYPTE_FILS", k.valeur, 1);
        Commande c;
        std::string erreur;
        Args args = {"4/5"};
        if (k.fils != nullptr) args = {"--fils", k.fils, "4/5"};
        const bool lu = analyserMots(args, c, erreur);
        ::unsetenv("EGYPTE_FILS");
        if (k.attendu.rfind("4/5", 0) == 0) {
            EXPECT_TRUE(lu) << erreur;
            EXPECT_EQ(resume(c), k.attendu);
        } else {
            EXPECT_FALSE(lu);
            EXPECT_NE(erreur.find(k.attendu), std::string::npos) << erreur;
        }
    }
}

TEST(Commande, AideEtVersion)
{
    const std::string aide = aideCommande();
    // Every option the parser knows has its line in the help.
    const std::vector<std::string> options = optionsDeLaLigne();
    EXPECT_GE(options.size(), 27u);
    for (const std::string& nom : options)
        EXPECT_TRUE(aide.find("\n  " + nom + " ") != std::string::npos || aide.find("\n  " + nom + ",") != std::string::npos ||
                    aide.find(", " + nom + " ") != std::string::npos)
            << nom;
    for (char ch : aide) EXPECT_TRUE(ch == '\n' || (ch >= 0x20 && ch < 0x7f)) << static_cast<int>(ch);
    EXPECT_TRUE(versionCommande().rfind("egypte ", 0) == 0 && versionCommande().find('\n') == std::string::npos);
}

// Every exclusion the help states is refused by the parser, with a line that
// names both options, while each of the two alone, on the same line, is taken.
TEST(Commande, LesExclusionsDeLAideSontRefusees)
{
    std::string aide = aideCommande();
    std::replace(aide.begin(), aide.end(), '\n', ' ');
    std::replace(aide.begin(), aide.end(), ';', '.');
    // What each option needs beside it to be taken alone; a scan's own
    // options go on a scan's line, the others on a fraction's.
    const std::map<std::string, Args> avec{
        {"--premieres", {"2"}}, {"--une-sur", {"2"}}, {"--longueur", {"5"}}, {"--min-n", {"1"}}, {"--max-n", {"5"}},
        {"--journal", {"j"}}, {"--sortie", {"s"}}, {"--debut", {"2"}}, {"--au-plus", {"3"}},
        {"--numerateur", {"2", "--au-plus", "3"}}, {"--estimer", {"--longueur", "5"}}};
    const std::set<std::string> deBalayage{"--balayer", "--au-plus", "--numerateur", "--moins-un", "--premiers"};
    const auto ligne = [&](const Args& options) {
        const bool balayage = std::any_of(options.begin(), options.end(), [&](auto& o) { return deBalayage.count(o) > 0; });
        Args l = balayage ? Args{"--balayer", "2..9"} : Args{"3/4"};
        for (const std::string& o : options)
            if (o != "--balayer") {
                l.push_back(o);
                if (avec.count(o) > 0) l.insert(l.end(), avec.at(o).begin(), avec.at(o).end());
            }
        return l;
    };
    int paires = 0;
    std::istringstream phrases(aide);
    for (std::string phrase; std::getline(phrases, phrase, '.');) {
        const bool exclut = phrase.find(" exclut ") != std::string::npos;
        if (!exclut && phrase.find(" s'excluent") == std::string::npos) continue;
        std::istringstream mots(phrase);
        Args noms;
        for (std::string m; mots >> m;)
            if (m.rfind("--", 0) == 0) noms.push_back(m.substr(0, m.find(',')));
        for (std::size_t a = 0; a < (exclut ? 1 : noms.size()); a++)
            for (std::size_t b = a + 1; b < noms.size(); b++, paires++) {
                Commande c;
                std::string erreur;
                for (const std::string& seule : {noms[a], noms[b]})
                    EXPECT_TRUE(analyserMots(ligne({seule}), c, erreur)) << seule << " seule : " << erreur;
                EXPECT_FALSE(analyserMots(ligne({noms[a], noms[b]}), c, erreur)) << noms[a] << " avec " << noms[b];
                EXPECT_TRUE(erreur.find(noms[a] + " ") != std::string::npos && erreur.find(noms[b]) != std::string::npos &&
                            erreur.find("exclu") != std::string::npos)
                    << erreur;
            }
    }
    EXPECT_GE(paires, 20);
}

}  // namespace
