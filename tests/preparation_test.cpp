// The set-up of a computation: the values it derives and the messages that end it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harnais.h"
#include "dialogue/dialogue.h"
#include "marche/probleme.h"
#include "marche/recherche.h"

using namespace egypte;
using essai::Console;

namespace {

bool contient(const std::string& s, const std::string& morceau) { return s.find(morceau) != std::string::npos; }

struct Preparation : ::testing::Test, egypte::Recherche {
    // The computation typed, then set up by the engine on a fresh search:
    // whether it goes on (and why not), then every derived value, each as
    // " name=value".
    std::string preparer(const std::string& tape)
    {
        static_cast<egypte::Recherche&>(*this) = egypte::Recherche();
        Console c(tape);
        Probleme pb;
        egypte::BornesTapees bn;
        Issue pourquoi = Issue::trouve;
        const bool suite = egypte::preparation(pb, bn) && poser(pb, pourquoi);
        texte = c.sortie();
        std::ostringstream o;
        o << (suite ? " suite" : " fin") << (pourquoi == Issue::tropLong ? " tropLong" : "")
          << (pourquoi == Issue::aucune ? " aucune" : "") << " P1=" << cadre.P1 << " Q1=" << cadre.Q1 << " pg=" << cadre.pg << " P=" << cadre.P
          << " Q=" << cadre.Q << " n=" << marche.n << " type=" << cadre.type << " z=" << cadre.z << " minx=" << cadre.minx << " minax=" << cadre.minax
          << " M=" << cadre.M << " Ma=" << cadre.Ma << " pas1=" << cadre.pas1 << " minn=" << cadre.minn << " maxn=" << cadre.maxn
          << " maxn2=" << cadre.maxn2 << " majn=" << cadre.majn << " min1n=" << cadre.min1n << ' ';
        return o.str();
    }
    std::string texte;
};

TEST_F(Preparation, ValeursDeduites)
{
    const struct { const char* tape; std::vector<std::string> valeurs, messages = {}, absents = {}; } cas[] = {
        // Without constraints too the lengths start where x1 >= 1 allows:
        // 3/2 needs two terms, so the first one tried is n + 1 = 2.
        {"6 4 0 0", {"suite", "P1=6", "Q1=4", "pg=2", "P=3", "Q=2", "n=1", "min1n=2", "type=2", "z=1", "minx=1"}},
        // The exclusion of 1: asked only without constraints and when P/Q >= 1.
        {"2 3 0", {}, {}, {"exclure la valeur 1"}},
        {"7 7 0 1", {"pas1=1", "minx=2"}, {"Voulez vous exclure la valeur 1"}},
        {"3 2 1 2 0 0 0 0 0", {"suite", "pas1=0"}, {}, {"exclure la valeur 1"}},
        // Odd unknowns with Q even: no solution, and no bounds asked.
        {"1 2 1 2 1", {"fin"}, {AUCUNE_SOLUTION}, {"Minorant"}},
        // The effective bounds follow the parity.
        {"1 3 1 2 2 0 0 0 0", {"minax=0", "minx=2", "z=2"}},
        {"1 3 1 1 1 0 10 0 0", {"Ma=10", "M=9", "minx=1"}},
        {"1 3 1 1 2 3 4 0 0", {"minx=4", "M=4"}},  // even: 3 and 4 become 4 and 4, accepted as they are
        {"1 3 1 1 2 0 1 0 0", {"M=0", "Ma=1"}},   // even with a maximum of 1: M is 0 but Ma keeps 1
        // Equal bounds are asked again.
        {"1 3 1 2 0 5 5 4 9 0 0", {"minx=4", "M=9"}, {"\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez ! \n \n"}},
        {"1 3 1 2 0 0 0 3 3 0 4", {"minn=0", "maxn=4"}, {"\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez !\n \n"}},
        // The lengths: the first one tried is n + 1.
        {"3 2 1 2 0 4 0 0 0", {"min1n=6", "n=5"}},
        {"3 2 1 2 0 4 0 8 0", {"n=7"}},
        {"1 3 1 2 0 0 2 0 5", {"majn=0", "maxn=5"}},
        {"5 6 1 2 0 0 12 0 20", {"majn=10", "maxn=10", "maxn2=20"}},
        {"5 6 1 2 0 0 12 0 0", {"maxn=0"}},
        // The dialogue says so (the sessions hold its messages).
        {"5 6 1 2 0 10 0 0 8", {"fin", "aucune", "min1n=9"}},
        // n >= 10^12 from the minimum of x1, and a minimum for n beyond any int;
        // the last length the search accepts is still searched.
        {"1 1 1 2 0 1000000000000 0 0 0", {"fin", "tropLong"}},
        {"1 1 1 2 0 0 0 1000000000000000000000000000000 0", {"fin", "tropLong"}},
        {"1 1 1 2 0 0 0 100000 0", {"suite", "n=" + std::to_string(NMAX - 1)}},
    };
    for (const auto& c : cas) {
        const std::string v = preparer(c.tape);
        for (const auto& f : c.valeurs) EXPECT_TRUE(contient(v, " " + f + " ")) << c.tape << ": " << f << " in" << v;
        for (const auto& m : c.messages) EXPECT_TRUE(contient(texte, m)) << c.tape << ": " << m;
        for (const auto& m : c.absents) EXPECT_FALSE(contient(texte, m)) << c.tape << ": " << m;
    }
}

}  // namespace
