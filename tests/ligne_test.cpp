// The command line, on the built program: the same expansions and report as
// the dialogue with the same answers; a clean refusal of bad command lines;
// and counts that survive being killed at any moment, through their journal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "console.h"
#include "search/journal.h"

namespace {

struct Execution {
    int statut;
    std::string sortie, erreurs;
};

std::string lire(const std::string& chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string temporaire(const std::string& nom)
{
    return ::testing::TempDir() + "egypte-ligne-" + std::to_string(::getpid()) + "-" + nom;
}

// Runs the program with args, killed after `limite` seconds when given (status 137).
Execution executer(const std::vector<std::string>& args, double limite = 0)
{
    std::string c = limite > 0 ? "timeout -s KILL " + std::to_string(limite) + " '" : "'";
    c += EGYPTE_PROGRAMME "'";
    for (const std::string& a : args) c += " '" + a + "'";
    const std::string base = temporaire("execution");
    const int st = std::system((c + " > '" + base + ".out' 2> '" + base + ".err'").c_str());
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, lire(base + ".out"), lire(base + ".err")};
}

// A line of the report: "Nombre de solutions : 12" gives "12".
std::string valeur(const std::string& rapport, const std::string& debut)
{
    const std::size_t p = rapport.find(debut);
    if (p == std::string::npos) return "none";
    const std::size_t d = p + debut.size();
    return rapport.substr(d, rapport.find_first_of(" \n", d) - d);
}

TEST(Ligne, MemesResultatsQueLeDialogue)
{
    // A random problem as answers to the dialogue and as a command line.
    std::mt19937 g(20261208u);
    for (int k = 0; k < 25 && !::testing::Test::HasFailure(); k++) {
        const long Q = 2 + g() % 40, P = 1 + g() % (Q + 3);
        const int type = 1 + g() % 2, parite = g() % 3 == 0 ? 2 : 0;
        const long minx = g() % 2 ? 0 : 2 + g() % 6, M = 60 + g() % 300, minn = g() % 2 ? 0 : 2 + g() % 2;
        std::ostringstream tape;
        tape << P << ' ' << Q << " 1 " << type << ' ' << parite << ' ' << minx << ' ' << M << ' ' << minn << " 5 0";
        std::vector<std::string> args{std::to_string(P) + "/" + std::to_string(Q), "--max-xn", std::to_string(M),
                                      "--max-n", "5"};
        if (type == 1) args.push_back("--repetitions");
        if (parite == 2) args.insert(args.end(), {"--parite", "paire"});
        if (minx) args.insert(args.end(), {"--min-x1", std::to_string(minx)});
        if (minn) args.insert(args.end(), {"--min-n", std::to_string(minn)});
        SCOPED_TRACE(tape.str());
        const essai::Trace d = essai::calculer(tape.str(), essai::Reglages{});
        const Execution e = executer(args);
        // The expansions, in the same order.
        std::vector<essai::Developpement> lignes;
        std::istringstream in(e.sortie);
        for (std::string l; std::getline(in, l) && !l.empty() && std::isdigit(static_cast<unsigned char>(l[0]));) {
            std::istringstream li(l);
            lignes.emplace_back(std::istream_iterator<long>(li), std::istream_iterator<long>());
        }
        EXPECT_EQ(lignes, essai::lignesSolutions(d.sortie));
        EXPECT_EQ(e.statut, d.compte > 0 ? 0 : 1);
        if (d.compte == 0) continue;
        EXPECT_EQ(valeur(e.sortie, "Nombre de solutions : "), std::to_string(d.compte));
        for (const char* x : {"grande valeur prise par xn", "petite valeur prise par x1"})
            EXPECT_NE(d.sortie.find(" " + valeur(e.sortie, std::string("Plus ") + x + " : ") + "  est la plus " + x),
                      std::string::npos) << x;
    }
}

TEST(Ligne, LignesDeCommandeRefusees)
{
    // Each: status 2, nothing on standard output, one French line on error.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--inconnue", "3/4"}, {"3/0"}, {"3/4", "--parite", "3"}, {"3", "4", "5"}, {"--compter"}, {"--estimer", "3/4"}}) {
        const Execution e = executer(args);
        EXPECT_EQ(e.statut, 2) << args[0];
        EXPECT_EQ(e.sortie, "") << args[0];
        EXPECT_EQ(e.erreurs.rfind("egypte : ", 0), 0u) << e.erreurs;
        EXPECT_EQ(std::count(e.erreurs.begin(), e.erreurs.end(), '\n'), 1) << e.erreurs;
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
    EXPECT_EQ(r["profondeur"], 3);
    EXPECT_GE(r["sondages"].get<long>(), 1);
    EXPECT_GT(r["solutions"].get<double>(), 0);
    EXPECT_DOUBLE_EQ(r["secondes_fils"].get<double>() * 3, r["secondes_un_coeur"].get<double>());
    const Execution z = executer({"--estimer", "--json", "--parite", "impaire", "1/1", "--longueur", "8"});
    EXPECT_EQ(z.statut, 0);
    const nlohmann::json rz = nlohmann::json::parse(z.sortie);
    EXPECT_EQ(rz["estimation"], "exclue");
    EXPECT_EQ(rz["solutions"], 0);
}

TEST(Journal, UnCompteTueRepartJusquAuMemeResultat)
{
    // 5/6 in 7 distinct unit fractions: 3475754 expansions, about a second of
    // search on one thread, one in every 1000 listed.
    const std::vector<std::string> compte = {"--json", "--fils", "2", "5/6", "--longueur", "7", "--une-sur", "1000"};
    auto avec = [&](std::vector<std::string> b) {
        b.insert(b.begin(), compte.begin(), compte.end());
        return b;
    };
    const std::string reference = temporaire("reference.txt"), journal = temporaire("journal"),
                      liste = temporaire("liste.txt");
    const Execution entier = executer(avec({"--sortie", reference}));
    ASSERT_EQ(entier.statut, 0) << entier.erreurs;
    ASSERT_NE(entier.sortie.find("\"solutions\":3475754"), std::string::npos) << entier.sortie;

    std::remove(journal.c_str());
    const std::vector<std::string> repris = avec({"--journal", journal, "--sortie", liste});
    std::mt19937 g(::getpid());
    int tues = 0;
    for (int k = 0; k < 3; k++) tues += executer(repris, 0.05 + (g() % 400) / 1000.0).statut == 137;
    EXPECT_GT(tues, 0);
    const Execution fin = executer(repris);
    EXPECT_EQ(fin.statut, 0) << fin.erreurs;
    EXPECT_EQ(fin.sortie, entier.sortie);
    EXPECT_EQ(lire(liste), lire(reference));

    // A last line torn by a stop: recognised, its unit done again.
    std::ofstream(journal, std::ios::app) << "U 7 99";
    const Execution dechire = executer(repris);
    EXPECT_EQ(dechire.statut, 0) << dechire.erreurs;
    EXPECT_EQ(dechire.sortie, entier.sortie);
    EXPECT_EQ(lire(liste), lire(reference));

    // The journal of another problem is refused.
    const Execution autre = executer({"--journal", journal, "5/7", "--longueur", "4"});
    EXPECT_EQ(autre.statut, 2);
    EXPECT_EQ(autre.sortie, "");
    EXPECT_NE(autre.erreurs.find("autre calcul"), std::string::npos) << autre.erreurs;
}

TEST(Journal, ChaqueLigneEstSurLeDisqueDesQuElleEstNotee)
{
    // A count may be killed at any moment: what the journal notes is read
    // back by a resumed run while the writer still holds the file open.
    const std::string chemin = temporaire("notes");
    std::remove(chemin.c_str());
    egypte::Journal j, relu;
    std::string erreur;
    ASSERT_TRUE(j.ouvrir(chemin, "5/6 longueur 7", erreur)) << erreur;
    j.noterVide(5);
    j.noterProfondeur(7, 3);
    egypte::Journal::Unite u;
    u.numero = 4, u.K1 = 12, u.m = 99, u.m1 = 7, u.octets = 321;
    j.noterUnite(7, u);
    ASSERT_TRUE(relu.ouvrir(chemin, "5/6 longueur 7", erreur)) << erreur;
    EXPECT_TRUE(relu.longueurVide(5));
    EXPECT_EQ(relu.profondeur(7), 3);
    EXPECT_EQ(relu.derniere(7).numero, 4);
    EXPECT_EQ(relu.derniere(7).octets, 321);
}

}  // namespace
