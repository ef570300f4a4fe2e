// The command line: the same expansions and report as the dialogue with the
// same answers; a clean refusal of bad command lines; and counts that survive
// being killed at any moment, through their journal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "console.h"
#include "dialogue/commande.h"

namespace {

struct Execution {
    int statut = -1;
    std::string sortie, erreurs;
};

std::string lireFichier(const std::string& chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    std::ostringstream o;
    o << in.rdbuf();
    return o.str();
}

// Starts the program with `args`, standard output and error into files.
pid_t demarrer(const std::vector<std::string>& args, const std::string& base)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int o = ::open((base + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open((base + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(o, 1);
        ::dup2(e, 2);
        std::vector<char*> v{const_cast<char*>(EGYPTE_PROGRAMME)};
        for (const std::string& a : args) v.push_back(const_cast<char*>(a.c_str()));
        v.push_back(nullptr);
        ::execv(EGYPTE_PROGRAMME, v.data());
        ::_exit(127);
    }
    return pid;
}

Execution attendre(pid_t pid, const std::string& base)
{
    Execution r;
    int st = 0;
    ::waitpid(pid, &st, 0);
    r.statut = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    r.sortie = lireFichier(base + ".out");
    r.erreurs = lireFichier(base + ".err");
    return r;
}

std::string temporaire(const std::string& nom)
{
    return ::testing::TempDir() + "egypte-ligne-" + std::to_string(::getpid()) + "-" + nom;
}

Execution executer(const std::vector<std::string>& args)
{
    const std::string base = temporaire("exec");
    return attendre(demarrer(args, base), base);
}

// A random problem as answers to the dialogue and as a command line.
struct Paire {
    std::string tape;
    std::vector<std::string> args;
};

Paire auHasard(std::mt19937& g)
{
    const long Q = 2 + g() % 40, P = 1 + g() % (Q + 3);
    const int type = 1 + g() % 2, parite = g() % 3 == 0 ? 2 : 0;
    const long minx = g() % 2 ? 0 : 2 + g() % 6, M = 60 + g() % 300;
    const long minn = g() % 2 ? 0 : 2 + g() % 2, maxn = 5;
    std::ostringstream tape;
    tape << P << ' ' << Q << " 1 " << type << ' ' << parite << ' ' << minx << ' ' << M << ' ' << minn << ' ' << maxn
         << " 0";
    Paire p{tape.str(), {std::to_string(P) + "/" + std::to_string(Q), "--max-xn", std::to_string(M), "--max-n", "5"}};
    if (type == 1) p.args.push_back("--repetitions");
    if (parite == 2) p.args.insert(p.args.end(), {"--parite", "paire"});
    if (minx) p.args.insert(p.args.end(), {"--min-x1", std::to_string(minx)});
    if (minn) p.args.insert(p.args.end(), {"--min-n", std::to_string(minn)});
    return p;
}

// A line of the report: "Nombre de solutions : 12" gives "12".
std::string valeur(const std::string& rapport, const std::string& debut)
{
    const std::size_t p = rapport.find(debut);
    if (p == std::string::npos) return "";
    const std::size_t d = p + debut.size();
    return rapport.substr(d, rapport.find_first_of(" \n", d) - d);
}

TEST(Ligne, MemesResultatsQueLeDialogue)
{
    std::mt19937 g(20261208u);
    for (int k = 0; k < 25 && !::testing::Test::HasFailure(); k++) {
        const Paire p = auHasard(g);
        SCOPED_TRACE(p.tape);
        const essai::Trace d = essai::calculer(p.tape, essai::Reglages{});
        const Execution e = executer(p.args);
        // The expansions, in the same order.
        std::vector<essai::Developpement> lignes;
        std::istringstream in(e.sortie);
        std::string ligne;
        while (std::getline(in, ligne) && !ligne.empty() && std::isdigit(static_cast<unsigned char>(ligne[0]))) {
            std::istringstream l(ligne);
            essai::Developpement x;
            long v;
            while (l >> v) x.push_back(v);
            lignes.push_back(x);
        }
        EXPECT_EQ(lignes, essai::lignesSolutions(d.sortie));
        EXPECT_EQ(e.statut, d.compte > 0 ? 0 : 1);
        if (d.compte == 0) continue;
        EXPECT_EQ(valeur(e.sortie, "Nombre de solutions : "), std::to_string(d.compte));
        EXPECT_NE(d.sortie.find(" " + valeur(e.sortie, "Plus grande valeur prise par xn : ") +
                                "  est la plus grande valeur prise par xn"),
                  std::string::npos);
        EXPECT_NE(d.sortie.find(" " + valeur(e.sortie, "Plus petite valeur prise par x1 : ") +
                                "  est la plus petite valeur prise par x1"),
                  std::string::npos);
    }
}

TEST(Ligne, LignesDeCommandeRefusees)
{
    // Each: status 2, nothing on standard output, one French line on error.
    const std::vector<std::vector<std::string>> cas = {
        {"--inconnue", "3/4"}, {"3/0"},        {"0/4"},          {"3/4", "--parite", "3"}, {"-3/4"},
        {"3/4", "5"},          {"3", "4", "5"}, {"--compter"},   {"3/4", "--min-n", "5", "--max-n", "4"},
        {"--estimer", "3/4"},
    };
    for (const auto& args : cas) {
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

// 5/6 in 7 distinct unit fractions: 3475754 expansions, about a second of
// search on one thread.
const std::vector<std::string> LONG = {"--json", "--fils", "2", "5/6", "--longueur", "7"};

std::vector<std::string> avec(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Journal, UnCompteTueRepartJusquAuMemeResultat)
{
    const std::vector<std::string> compte = avec(LONG, {"--une-sur", "1000"});
    const std::string base = temporaire("reference");
    const std::string reference = temporaire("reference.txt");
    const Execution entier = attendre(demarrer(avec(compte, {"--sortie", reference}), base), base);
    ASSERT_EQ(entier.statut, 0) << entier.erreurs;
    ASSERT_NE(entier.sortie.find("\"solutions\":3475754"), std::string::npos) << entier.sortie;

    const std::string journal = temporaire("journal"), liste = temporaire("liste.txt");
    std::remove(journal.c_str());
    const std::vector<std::string> repris = avec(compte, {"--journal", journal, "--sortie", liste});
    std::mt19937 g(::getpid());
    int tues = 0;
    for (int k = 0; k < 3; k++) {
        const pid_t pid = demarrer(repris, temporaire("tue"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50 + g() % 400));
        if (::kill(pid, SIGKILL) == 0) tues++;
        ::waitpid(pid, nullptr, 0);
    }
    EXPECT_GT(tues, 0);
    const Execution fin = attendre(demarrer(repris, temporaire("fin")), temporaire("fin"));
    EXPECT_EQ(fin.statut, 0) << fin.erreurs;
    EXPECT_EQ(fin.sortie, entier.sortie);
    EXPECT_EQ(lireFichier(liste), lireFichier(reference));

    // A last line torn by a stop: recognised, its unit done again.
    {
        std::ofstream j(journal, std::ios::app);
        j << "U 7 99";
    }
    const Execution dechire = attendre(demarrer(repris, temporaire("dechire")), temporaire("dechire"));
    EXPECT_EQ(dechire.statut, 0) << dechire.erreurs;
    EXPECT_EQ(dechire.sortie, entier.sortie);
    EXPECT_EQ(lireFichier(liste), lireFichier(reference));

    // The journal of another problem is refused.
    const Execution autre = executer({"--journal", journal, "5/7", "--longueur", "4"});
    EXPECT_EQ(autre.statut, 2);
    EXPECT_EQ(autre.sortie, "");
    EXPECT_NE(autre.erreurs.find("autre calcul"), std::string::npos) << autre.erreurs;
}

}  // namespace
