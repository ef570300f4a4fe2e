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
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "console.h"
#include "programme.h"
#include "commun/journal.h"

namespace {

using essai::executer;
using essai::Execution;
using essai::lire;
using essai::temporaire;

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
    std::mt19937 g(20261207u);
    for (int k = 0; k < 6; k++) {
        const long Q = 2 + g() % 30, P = 1 + g() % Q, M = 200 + g() % 800;
        cas.push_back({std::to_string(P) + " " + std::to_string(Q) + " 1 2 0 0 " + std::to_string(M) + " 4 5 0",
                       {std::to_string(P) + "/" + std::to_string(Q), "--max-xn", std::to_string(M), "--min-n", "4",
                        "--max-n", "5"}});
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

TEST(Ligne, FinsSansSolution)
{
    // A search that went to its end without an expansion is complete; one
    // stopped at the largest length searched is not, and says so: n ones
    // are an expansion of n/1, a length of 100001 is one of 1/2.
    const struct { std::vector<std::string> args; int statut; std::string fragment; } cas[] = {
        {{"--repetitions", "--compter", "100001/1"}, 3, "Recherche arretee a la limite n = 100000 sans solution"},
        {{"--json", "--longueur", "100001", "1/2"}, 3, "\"complet\":false,"},
        {{"--json", "--longueur", "100001", "1/2"}, 3, "\"raison\":\"limite_longueur\",\"solutions\":0}"},
        {{"--json", "--max-n", "2", "4/5"}, 1, "\"complet\":true,"},
        {{"--json", "--max-n", "2", "4/5"}, 1, "\"raison\":null,\"solutions\":0}"},
        {{"--json", "--parite", "impaire", "1/2"}, 1, "\"complet\":true,"},
        {{"--max-n", "2", "4/5"}, 1, "Aucune solution compte tenu des contraintes.\n"},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.fragment);
        const Execution e = executer(k.args);
        EXPECT_EQ(e.statut, k.statut);
        EXPECT_EQ(e.erreurs, "");
        EXPECT_NE(e.sortie.find(k.fragment), std::string::npos) << e.sortie;
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
    // 1 as 6 has few nodes at depth 3: they are the strata's.
    EXPECT_EQ(r["profondeur_strates"], 3);
    EXPECT_GE(r["strates"].get<long>(), 1);
    EXPECT_GE(r["noeuds_strates"].get<long>(), r["strates"].get<long>());
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
    std::remove(reference.c_str());
    std::remove(liste.c_str());
    const Execution entier = executer(avec({"--sortie", reference}));
    ASSERT_EQ(entier.statut, 0) << entier.erreurs;
    ASSERT_NE(entier.sortie.find("\"solutions\":3475754"), std::string::npos) << entier.sortie;

    std::remove(journal.c_str());
    const std::vector<std::string> repris = avec({"--journal", journal, "--sortie", liste});
    // Killed, or stopped by a job scheduler (SIGTERM) or a closed terminal
    // (SIGHUP), which end the run with what was found written in whole lines.
    std::mt19937 g(::getpid());
    int arretes = 0;
    const struct { const char* nom; int statut; } signaux[] = {{"KILL", 137}, {"TERM", 143}, {"HUP", 129}, {"KILL", 137}};
    for (const auto& sig : signaux) {
        essai::Lancement l;
        l.limite = 0.05 + (g() % 400) / 1000.0;
        l.signal = sig.nom;
        const std::string journalAvant = lire(journal), listeAvant = lire(liste);
        const Execution e = executer(repris, l);
        EXPECT_TRUE(e.statut == sig.statut || e.statut == 0) << sig.nom << ' ' << e.statut << ' ' << e.erreurs;
        arretes += e.statut == sig.statut;
        if ((e.statut == 143 || e.statut == 129) && e.sortie.empty() && e.erreurs.empty()) {
            // The signal came before the program listened for it (a slow
            // start, as under the sanitizers): it must then have touched
            // nothing.
            EXPECT_EQ(lire(journal), journalAvant) << sig.nom;
            EXPECT_EQ(lire(liste), listeAvant) << sig.nom;
        } else if (e.statut == 143 || e.statut == 129) {
            EXPECT_NE(e.sortie.find("\"complet\":false"), std::string::npos) << e.sortie;
        }
    }
    EXPECT_GT(arretes, 0);
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
    // A count may be killed at any moment: what the journal notes is in the
    // file while the writer still holds it (no buffer of its own to lose),
    // the file is locked against a second run meanwhile, and a run after it
    // reads every record back.
    const std::string chemin = temporaire("notes");
    std::remove(chemin.c_str());
    const std::string entete = "egypte-journal 5/6 longueur 7";
    std::string erreur;
    {
        egypte::Journal j;
        ASSERT_TRUE(j.ouvrir(chemin, entete, erreur)) << erreur;
        ASSERT_TRUE(j.preparer(erreur)) << erreur;
        ASSERT_TRUE(j.noterVide(5, erreur));
        ASSERT_TRUE(j.noterProfondeur(7, 3, erreur));
        egypte::Journal::Unite u;
        u.numero = 4, u.bilan.nombre = 12, u.bilan.plusGrandXn = 99, u.bilan.plusPetitX1 = 7, u.bilan.plusPetitXn = 50;
        u.octets = 321, u.fin = "0123456789abcdef";
        ASSERT_TRUE(j.noterUnite(7, u, erreur));
        EXPECT_NE(lire(chemin).find("U 7 4 12 99 7 50 321 0123456789abcdef "), std::string::npos) << lire(chemin);
        egypte::Journal second;
        EXPECT_FALSE(second.ouvrir(chemin, entete, erreur));
        EXPECT_NE(erreur.find("deja utilise"), std::string::npos) << erreur;
    }
    egypte::Journal relu;
    ASSERT_TRUE(relu.ouvrir(chemin, entete, erreur)) << erreur;
    EXPECT_TRUE(relu.longueurVide(5));
    EXPECT_EQ(relu.profondeur(7), 3);
    EXPECT_EQ(relu.derniere(7).numero, 4);
    EXPECT_EQ(relu.derniere(7).octets, 321);
    EXPECT_EQ(relu.derniere().fin, "0123456789abcdef");
}

}  // namespace
