// Fuzz target of the input routine. The first byte chooses the input code
// (0 to 6, so that codes outside 1 to 5 are tried too) and whether zero is
// refused; the other bytes are what the user types. The answer of controle
// is checked against a reading of the same bytes made here independently:
// which token is taken, how many times the prompt is written, the value left
// in valeur or valeur2, and what remains of the input.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "dialogue/dialogue.h"
#include "marche/recherche.h"

namespace {

struct Epuisee {};

void epuisee() { throw Epuisee{}; }

std::vector<std::string> jetons(const std::string& s)
{
    std::istringstream in(s);
    return std::vector<std::string>(std::istream_iterator<std::string>(in), {});
}

// Nonempty, digits only, no leading 0.
bool chiffres(const std::string& s)
{
    return !s.empty() && s[0] != '0' && s.find_first_not_of("0123456789") == std::string::npos;
}

// The grammar of each code; for the integer codes, also the value's decimal
// writing as NTL prints it.
bool admis(int cas, int zeroRefuse, const std::string& t, std::string& valeur)
{
    if (cas < 1 || cas > 5) return false;
    if (cas <= 3) return t.size() == 1 && t[0] >= (cas == 2 ? '1' : '0') && t[0] <= (cas == 1 ? '1' : '2');
    valeur = t[0] == '+' ? t.substr(1) : t;
    if (t == "0") return cas == 5 || zeroRefuse == 0;
    return chiffres(t) || (t.size() > 1 && (t[0] == '+' || (t[0] == '-' && cas == 5)) && chiffres(t.substr(1)));
}

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::cerr << "saisie_fuzz: " << quoi << '\n';
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    using namespace egypte;
    if (taille == 0) return 0;
    const int cas = donnees[0] % 7;
    const int zeroRefuse = (donnees[0] >> 3) & 1;
    const std::string frappe(reinterpret_cast<const char*>(donnees + 1), taille - 1);
    const std::string invite = "\n \t Valeur ? : \t";
    auto invites = [&](std::size_t k) {
        std::string r;
        while (k-- > 0) r += invite;
        return r;
    };

    // What should happen.
    const std::vector<std::string> t = jetons(frappe);
    std::size_t pris = t.size();
    std::string attendue;
    for (std::size_t k = 0; k < t.size(); k++)
        if (admis(cas, zeroRefuse, t[k], attendue)) {
            pris = k;
            break;
        }

    // What happens.
    std::istringstream in(frappe);
    std::ostringstream out;
    std::streambuf* ancienIn = std::cin.rdbuf(in.rdbuf());
    std::streambuf* ancienOut = std::cout.rdbuf(out.rdbuf());
    surFinDeSaisie(epuisee);
    xn = zeroRefuse;
    valeur2 = -7;
    valeur = -7;
    bool fini = true;
    try {
        controle(cas, invite.c_str());
    } catch (const Epuisee&) {
        fini = false;
    }
    surFinDeSaisie(nullptr);
    std::cin.rdbuf(ancienIn);
    std::cout.rdbuf(ancienOut);
    const std::string ecrit = out.str();

    if (cas < 1 || cas > 5) {
        verifier(fini && ecrit.empty(), "a code outside 1 to 5 wrote or read");
        verifier(in.tellg() == 0, "a code outside 1 to 5 consumed input");
        return 0;
    }
    if (pris == t.size()) {
        verifier(!fini, "a token was taken that the grammar refuses");
        verifier(ecrit == invites(t.size() + 1), "the prompt is not written once per token, plus once");
        return 0;
    }
    verifier(fini, "the input ended before an acceptable token was taken");
    verifier(ecrit == invites(pris + 1), "the prompt is not written once per refused token, plus once");
    verifier(refaire == 0, "refaire is not 0 after an accepted token");
    if (cas <= 3) {
        verifier(valeur2 == t[pris][0] - '0', "valeur2 differs from the token");
    } else {
        std::ostringstream v;
        v << valeur;
        verifier(v.str() == attendue, "valeur differs from the token");
    }
    // The rest of the input is what follows the token taken.
    const std::string reste((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    verifier(jetons(reste) == std::vector<std::string>(t.begin() + static_cast<long>(pris) + 1, t.end()),
             "the input after the token is not left for the next question");
    return 0;
}
