// The grammar of each input code of controle, and the reading of tokens.
#include <gtest/gtest.h>

#include <string>

#include "harnais.h"
#include "dialogue/dialogue.h"

using namespace egypte;
using essai::Console;

namespace {

// Types the given text at one prompt of code cas; returns how many times the
// prompt was written before a token was accepted.
int fois(int cas, const std::string& tape, int zeroRefuse = 0)
{
    Console c(tape);
    xn = zeroRefuse;
    controle(cas, "? ");
    const std::string s = c.sortie();
    int k = 0;
    for (std::size_t p = 0; (p = s.find("? ", p)) != std::string::npos; p += 2) k++;
    EXPECT_EQ(s.size(), static_cast<std::size_t>(2 * k)) << "controle writes nothing but its prompt";
    return k;
}

TEST(Saisie, JetonsAcceptesEtRefuses)
{
    // A token refused brings the prompt back and the next one, 1, is taken;
    // an accepted one leaves its value.
    const struct { int cas, zeroRefuse; const char* jeton; const char* valeur; } cas[] = {
        {OUI_NON, 0, "1", "1"},  {OUI_NON, 0, "0", "0"},   {OUI_NON, 0, "2", nullptr},  {OUI_NON, 0, "01", nullptr},
        {OUI_NON, 0, "10", nullptr}, {OUI_NON, 0, "oui", nullptr}, {OUI_NON, 0, "+1", nullptr}, {OUI_NON, 0, "-0", nullptr},
        {TYPE, 0, "2", "2"},     {TYPE, 0, "0", nullptr},  {TYPE, 0, "3", nullptr},     {TYPE, 0, "12", nullptr},
        {PARITE, 0, "2", "2"},   {PARITE, 0, "0", "0"},    {PARITE, 0, "3", nullptr},   {PARITE, 0, "00", nullptr},
        {PARITE, 0, "-1", nullptr},
        {NATUREL, 1, "+7", "7"}, {NATUREL, 1, "70", "70"}, {NATUREL, 0, "0", "0"},     {NATUREL, 1, "+10", "10"},
        {NATUREL, 1, "0", nullptr}, {NATUREL, 1, "007", nullptr}, {NATUREL, 1, "-3", nullptr}, {NATUREL, 1, "+", nullptr},
        {NATUREL, 1, "+0", nullptr}, {NATUREL, 1, "7+", nullptr}, {NATUREL, 1, "1-2", nullptr}, {NATUREL, 1, "++1", nullptr},
        {NATUREL, 0, "-0", nullptr}, {NATUREL, 0, "00", nullptr}, {NATUREL, 1, "07", nullptr}, {ENTIER, 0, "07", nullptr},
        {ENTIER, 0, "-1", "-1"}, {ENTIER, 0, "-12", "-12"}, {ENTIER, 0, "+12", "12"}, {ENTIER, 0, "0", "0"},
        {ENTIER, 0, "-1000000000000000000000", "-1000000000000000000000"},
        {ENTIER, 0, "-0", nullptr}, {ENTIER, 0, "--1", nullptr}, {ENTIER, 0, "-", nullptr}, {ENTIER, 0, "1-", nullptr},
        {ENTIER, 0, "12a", nullptr}, {ENTIER, 0, "+-1", nullptr}, {ENTIER, 0, "-01", nullptr},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << "code " << c.cas << " token [" << c.jeton << "]");
        EXPECT_EQ(fois(c.cas, std::string(c.jeton) + " 1", c.zeroRefuse), c.valeur ? 1 : 2);
        std::ostringstream lu;
        if (c.cas <= PARITE) lu << valeur2;
        else lu << valeur;
        EXPECT_EQ(lu.str(), c.valeur ? c.valeur : "1");
    }
}

TEST(Saisie, NombresDeToutesTailles)
{
    // 150, 500 and a million digits are read exactly; ten million characters
    // of garbage are refused (only their start is kept).
    for (int chiffres : {150, 500, 1000000}) {
        const std::string s = "9" + std::string(static_cast<std::size_t>(chiffres - 2), '0') + "7";
        EXPECT_EQ(fois(NATUREL, s, 1), 1);
        EXPECT_EQ(valeur, NTL::power_ZZ(10, chiffres - 1) * 9 + 7) << chiffres << " digits";
    }
    EXPECT_EQ(fois(NATUREL, "1" + std::string(10000000, 'x') + " 5", 1), 2);
    EXPECT_EQ(valeur, 5);
    EXPECT_EQ(fois(OUI_NON, std::string(5000000, '1') + " 0"), 2);
    EXPECT_EQ(valeur2, 0);
}

TEST(Saisie, PlusieursJetonsParLigne)
{
    // 1, a blank and 0 on one line: the first prompt takes 1, the next one 0
    // without waiting; empty lines do not bring the prompt back.
    Console c("\n\n  1 0\n\n\t\n7\n");
    controle(OUI_NON, "A");
    EXPECT_EQ(valeur2, 1);
    controle(OUI_NON, "B");
    EXPECT_EQ(valeur2, 0);
    xn = 1;
    controle(NATUREL, "C");
    EXPECT_EQ(valeur, 7);
    EXPECT_EQ(c.sortie(), "ABC");
}

}  // namespace
