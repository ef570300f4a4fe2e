#include "programme.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace essai {

std::string lire(const std::string& chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void effacer(const std::vector<std::string>& chemins)
{
    for (const std::string& c : chemins) std::remove(c.c_str());
}

void uneLigne(const Execution& e, const std::string& fragment)
{
    EXPECT_EQ(e.erreurs.rfind("egypte : ", 0), 0u) << e.erreurs;
    EXPECT_EQ(std::count(e.erreurs.begin(), e.erreurs.end(), '\n'), 1) << e.erreurs;
    EXPECT_NE(e.erreurs.find(fragment), std::string::npos) << e.erreurs;
}

std::string temporaire(const std::string& nom)
{
    return ::testing::TempDir() + "egypte-" + std::to_string(::getpid()) + "-" + nom;
}

std::string entreQuotes(const std::string& s)
{
    std::string r = "'";
    for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

Execution executer(const std::vector<std::string>& args, const Lancement& l)
{
    std::string c;
    for (const std::string& a : args) c += " " + entreQuotes(a);
    c = entreQuotes(EGYPTE_PROGRAMME) + c;
    // A name of each run's own: two may run at once from two threads.
    static std::atomic<int> numero{0};
    const std::string base = temporaire("execution-" + std::to_string(numero++));
    const std::string sortie = l.vers.empty() ? base + ".out" : l.vers;
    c += (l.ajouter ? " >> " : " > ") + entreQuotes(sortie) + " 2> " + entreQuotes(base + ".err");
    // The signal is sent to the program alone, and the shell waits for it to
    // be gone: timeout's KILL also kills timeout itself, and the next run
    // could start while the killed one still held its journal's lock.
    if (l.limite > 0)
        c += " & p=$!; ( sleep " + std::to_string(l.limite) + "; kill -s " + l.signal +
             " $p ) < /dev/null > /dev/null 2>&1 & k=$!; wait $p; s=$?; kill $k 2> /dev/null; exit $s";
    c = l.avant + " " + c;
    // Through bash: ulimit and trap are bash's.
    // The shell's own notices ("Killed") are not the program's.
    const std::string ligne = "bash -c " + entreQuotes(c) + " 2> /dev/null";
    const int st = std::system(ligne.c_str());
    Execution e{WIFEXITED(st) ? WEXITSTATUS(st) : -1, l.vers.empty() ? lire(sortie) : "", lire(base + ".err")};
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return e;
}

Repris arreterPuisReprendre(const std::vector<std::string>& args, const Reprise& r)
{
    std::mt19937 alea(r.graine);
    Repris x;
    double echelle = 1;
    effacer(r.fichiers);
    for (int k = 0; k <= r.arrets; k++) {
        Lancement l;
        const std::string& signal = r.signaux[k % r.signaux.size()];
        l.signal = signal.c_str();
        l.limite = k < r.arrets ? echelle * (r.de + (r.a - r.de) * (alea() % 1000) / 1000.0) : 0;
        std::vector<std::string> a = args;
        if (!r.enPlus.empty()) a.insert(a.end(), r.enPlus[k % r.enPlus.size()].begin(), r.enPlus[k % r.enPlus.size()].end());
        Execution e = executer(a, l);
        if (e.statut == 0 && x.arretes.empty() && !r.fichiers.empty() && k + 1 < r.arrets) {
            effacer(r.fichiers);
            echelle /= 3;
            continue;
        }
        if (k == r.arrets || e.statut == 0) {
            x.fin = std::move(e);
            break;
        }
        const int attendu = 128 + (signal == "KILL" ? 9 : signal == "TERM" ? 15 : signal == "HUP" ? 1 : 0);
        EXPECT_EQ(e.statut, attendu) << signal << ' ' << e.erreurs;
        x.arretes.push_back(std::move(e));
    }
    EXPECT_EQ(x.fin.statut, 0) << x.fin.erreurs;
    EXPECT_FALSE(x.arretes.empty()) << "no run was stopped before its end";
    return x;
}

}  // namespace essai
