// Whole-program sessions: each file of tests/seances/ types a session into the
// built program and gives, piece by piece, the exact standard output expected
// and the exit status.
//
// Lines of a session file:
//   # ...      comment
//   <text      a line typed: the text (escapes decoded) and a newline
//   |text      input without a newline at its end (escapes decoded)
//   >text      expected output (escapes decoded); the text starts right after '>'
//   @name      the pieces of seances/blocs/name.txt, inlined
//   =k         expected exit status
// Escapes: \n newline, \t tab, \\ backslash, \H a line of 144 hyphens.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "programme.h"

namespace fs = std::filesystem;

namespace {

struct Seance {
    std::string entree;
    std::string attendu;
    int statut = 1;
};

std::string decoder(const std::string& s)
{
    std::string r;
    for (std::size_t k = 0; k < s.size(); k++) {
        const char c = s[k] == '\\' && k + 1 < s.size() ? s[++k] : '\0';
        if (c == '\0') r += s[k];
        else if (c == 'n' || c == 't' || c == '\\') r += c == 'n' ? '\n' : c == 't' ? '\t' : '\\';
        else if (c == 'H') r += std::string(144, '-');
        else ADD_FAILURE() << "unknown escape \\" << c << " in: " << s;
    }
    return r;
}

void lire(const fs::path& fichier, Seance& s)
{
    std::ifstream in(fichier);
    EXPECT_TRUE(in) << "cannot read " << fichier;
    std::string ligne;
    while (std::getline(in, ligne)) {
        if (ligne.empty() || ligne[0] == '#') continue;
        const std::string texte = ligne.substr(1);
        switch (ligne[0]) {
        case '<': s.entree += decoder(texte) + "\n"; break;
        case '|': s.entree += decoder(texte); break;
        case '>': s.attendu += decoder(texte); break;
        case '@': lire(fs::path(EGYPTE_SEANCES) / "blocs" / (texte + ".txt"), s); break;
        case '=': s.statut = std::stoi(texte); break;
        default: ADD_FAILURE() << fichier << ": unreadable line: " << ligne;
        }
    }
}

std::vector<std::string> noms()
{
    std::vector<std::string> v;
    for (const auto& f : fs::directory_iterator(EGYPTE_SEANCES))
        if (f.path().extension() == ".seance") v.push_back(f.path().stem().string());
    std::sort(v.begin(), v.end());
    return v;
}

class SeanceTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SeanceTest, SortieEtStatutExacts)
{
    Seance s;
    lire(fs::path(EGYPTE_SEANCES) / (GetParam() + ".seance"), s);
    const std::string entree = essai::temporaire("seance-" + GetParam());
    std::ofstream(entree, std::ios::binary) << s.entree;
    essai::Lancement l;
    l.avant = "exec < " + essai::entreQuotes(entree) + ";";
    const essai::Execution e = essai::executer({}, l);
    essai::effacer({entree});
    EXPECT_EQ(e.statut, s.statut);
    // Standard error is no terminal here, so the program writes nothing there;
    // anything found is a report of a sanitizer or of the runtime.
    EXPECT_EQ(e.erreurs, "");
    EXPECT_EQ(e.sortie, s.attendu);
}

INSTANTIATE_TEST_SUITE_P(Programme, SeanceTest, ::testing::ValuesIn(noms()),
                         [](const auto& info) { return info.param; });

}  // namespace
