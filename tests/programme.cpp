#include "programme.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace essai {

std::string lire(const std::string& chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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
    std::string c = l.avant + " ";
    if (l.limite > 0)
        c += "timeout --preserve-status -s " + std::string(l.signal) + " " + std::to_string(l.limite) + " ";
    c += entreQuotes(EGYPTE_PROGRAMME);
    for (const std::string& a : args) c += " " + entreQuotes(a);
    const std::string base = temporaire("execution");
    const std::string sortie = l.vers.empty() ? base + ".out" : l.vers;
    // Through bash: ulimit and trap are bash's.
    const std::string ligne = "bash -c " + entreQuotes(c + (l.ajouter ? " >> " : " > ") + entreQuotes(sortie) + " 2> " + entreQuotes(base + ".err"));
    const int st = std::system(ligne.c_str());
    Execution e{WIFEXITED(st) ? WEXITSTATUS(st) : -1, l.vers.empty() ? lire(sortie) : "", lire(base + ".err")};
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return e;
}

}  // namespace essai
