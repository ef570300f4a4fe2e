// The grammar of each input code of controle, and the reading of tokens.
#include <gtest/gtest.h>

#include <string>

#include "console.h"
#include "dialogue/dialogue.h"

using namespace egypte;
using essai::Console;

namespace {

const char* const INVITE = "? ";

// Types the given text at one prompt of code cas; returns how many times the
// prompt was written before a token was accepted.
int fois(int cas, const std::string& tape, int zeroRefuse = 0)
{
    Console c(tape);
    xn = zeroRefuse;
    controle(cas, INVITE);
    const std::string s = c.sortie();
    int k = 0;
    for (std::size_t p = 0; (p = s.find(INVITE, p)) != std::string::npos; p += 2) k++;
    EXPECT_EQ(s.size(), static_cast<std::size_t>(2 * k)) << "controle writes nothing but its prompt";
    return k;
}

// A token refused at one prompt: the prompt comes back and the next token, 1, is taken.
void refuse(int cas, const std::string& jeton, int zeroRefuse = 0)
{
    EXPECT_EQ(fois(cas, jeton + " 1", zeroRefuse), 2) << "token [" << jeton << "] of code " << cas;
}

TEST(Code1OuiNon, AccepteZeroEtUn)
{
    EXPECT_EQ(fois(OUI_NON, "1"), 1);
    EXPECT_EQ(valeur2, 1);
    EXPECT_EQ(fois(OUI_NON, "0"), 1);
    EXPECT_EQ(valeur2, 0);
}

TEST(Code1OuiNon, RefuseToutLeReste)
{
    for (const char* jeton : {"2", "01", "10", "oui", "1.", "+1", "-0", "x"}) refuse(OUI_NON, jeton);
}

TEST(Code2Type, AccepteUnEtDeux)
{
    EXPECT_EQ(fois(TYPE, "2"), 1);
    EXPECT_EQ(valeur2, 2);
    for (const char* jeton : {"0", "3", "12", "a"}) refuse(TYPE, jeton);
}

TEST(Code3Parite, AccepteZeroUnDeux)
{
    EXPECT_EQ(fois(PARITE, "2"), 1);
    EXPECT_EQ(valeur2, 2);
    EXPECT_EQ(fois(PARITE, "0"), 1);
    EXPECT_EQ(valeur2, 0);
    for (const char* jeton : {"3", "00", "-1"}) refuse(PARITE, jeton);
}

TEST(Code4Naturel, ValeursAcceptees)
{
    EXPECT_EQ(fois(NATUREL, "+7", 1), 1);
    EXPECT_EQ(valeur, 7);
    EXPECT_EQ(fois(NATUREL, "70", 1), 1);
    EXPECT_EQ(valeur, 70);
    EXPECT_EQ(fois(NATUREL, "0", 0), 1);
    EXPECT_EQ(valeur, 0);
    EXPECT_EQ(fois(NATUREL, "+10", 1), 1);
    EXPECT_EQ(valeur, 10);
}

TEST(Code4Naturel, JetonsRefuses)
{
    for (const char* jeton : {"0", "007", "-3", "+", "+0", "7+", "7a", "1-2", "++1", "0x10"})
        refuse(NATUREL, jeton, 1);
    refuse(NATUREL, "-0", 0);
    refuse(NATUREL, "00", 0);
}

TEST(Code5Entier, ValeursSignees)
{
    EXPECT_EQ(fois(ENTIER, "-1"), 1);
    EXPECT_EQ(valeur, -1);
    EXPECT_EQ(fois(ENTIER, "-12"), 1);
    EXPECT_EQ(valeur, -12);
    EXPECT_EQ(fois(ENTIER, "+12"), 1);
    EXPECT_EQ(valeur, 12);
    EXPECT_EQ(fois(ENTIER, "0"), 1);
    EXPECT_EQ(valeur, 0);
    EXPECT_EQ(fois(ENTIER, "-1000000000000000000000"), 1);
    EXPECT_EQ(valeur, -NTL::power_ZZ(10, 21));
    for (const char* jeton : {"-0", "--1", "-", "1-", "12a", "+-1", "-01"}) refuse(ENTIER, jeton);
}

TEST(Jetons, NombresDeToutesTailles)
{
    // 150 and 500 digits, and a million, are read exactly.
    for (int chiffres : {150, 500, 1000000}) {
        std::string s = "9";
        s += std::string(static_cast<std::size_t>(chiffres - 2), '0');
        s += "7";
        EXPECT_EQ(fois(NATUREL, s, 1), 1);
        ZZ attendu;
        power(attendu, ZZ(10), chiffres - 1);
        mul(attendu, attendu, 9);
        add(attendu, attendu, 7);
        EXPECT_EQ(valeur, attendu) << chiffres << " digits";
    }
    std::string negatif = "-1" + std::string(300, '3');
    EXPECT_EQ(fois(ENTIER, negatif), 1);
    EXPECT_EQ(NTL::conv<ZZ>(negatif.c_str()), valeur);
}

TEST(Jetons, TresLongJetonRefuseSansEtreGarde)
{
    // Ten million characters of garbage: refused, and only its start is kept.
    std::string s = "1" + std::string(10000000, 'x');
    EXPECT_EQ(fois(NATUREL, s + " 5", 1), 2);
    EXPECT_EQ(valeur, 5);
    EXPECT_EQ(fois(OUI_NON, std::string(5000000, '1') + " 0"), 2);
    EXPECT_EQ(valeur2, 0);
}

TEST(Jetons, PlusieursSurUneLigneEtLignesVides)
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

TEST(Jetons, CodeInconnuNeLitRien)
{
    Console c("1");
    refaire = 0;
    EXPECT_EQ(controle(9, "invite"), 0);
    EXPECT_EQ(refaire, 1);
    EXPECT_EQ(l, 6);
    EXPECT_EQ(c.sortie(), "");
    EXPECT_EQ(c.reste(), "1");
}

TEST(Jetons, FinDeLEntreeTermineLeProgramme)
{
    // Refused tokens, then nothing: the run ends (main turns this into the
    // line break and status 1 that the whole-program sessions check).
    Console c("  \n 2 ");
    EXPECT_THROW(controle(OUI_NON, "Q"), FinDeLEntree);
    EXPECT_EQ(c.sortie(), "QQ");
}

TEST(Valtest, ClasseLesCaracteres)
{
    EXPECT_EQ(valtest('7'), 1);
    EXPECT_EQ(valtest1, 7);
    EXPECT_EQ(valtest('+'), 1);
    EXPECT_EQ(valtest1, 1);
    EXPECT_EQ(valtest('-'), 1);
    EXPECT_EQ(valtest1, -1);
    EXPECT_EQ(valtest('a'), 0);
    EXPECT_EQ(valtest1, 0);
}

}  // namespace
