// The set-up of a computation: the values it derives and the messages that end it.
#include <gtest/gtest.h>

#include <string>

#include "console.h"
#include "dialogue/dialogue.h"
#include "search/recherche.h"

using namespace egypte;
using essai::Console;

namespace {

const std::string EXCLUSION = "Voulez vous exclure la valeur 1";
const std::string INCOMPATIBLES = "\n \t \t    Les contraintes ne sont pas compatibles ! Recommencer ! \n \n ";
const std::string AUCUNE = " \n \n \t \t Aucune solution compte tenu des contraintes ! \n \n ";
const std::string RECOMMENCEZ_X = "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez ! \n \n";
const std::string RECOMMENCEZ_N = "\n  \t Le Minorant doit etre inferieur au Majorant. Recommencez !\n \n";

struct Resultat {
    bool continue_;
    std::string sortie;
};

bool contient(const std::string& s, const std::string& morceau) { return s.find(morceau) != std::string::npos; }

// Each test works on a search of its own.
struct Etat : ::testing::Test, egypte::Recherche {
    Resultat preparer(const std::string& tape)
    {
        // Each computation is a search of its own, as in the program.
        static_cast<egypte::Recherche&>(*this) = egypte::Recherche();
        Console c(tape);
        const bool suite = preparation();
        return {suite, c.sortie()};
    }
};

struct Preparation : Etat {
};

TEST_F(Preparation, FractionReduite)
{
    auto r = preparer("6 4 0 0");
    EXPECT_TRUE(r.continue_);
    EXPECT_EQ(P1, 6);
    EXPECT_EQ(Q1, 4);
    EXPECT_EQ(pg, 2);
    EXPECT_EQ(P, 3);
    EXPECT_EQ(Q, 2);
    EXPECT_EQ(L, 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(z, 1);
    EXPECT_EQ(minx, 1);
}

TEST_F(Preparation, QuestionDeLExclusion)
{
    // Asked only without constraints and when P/Q >= 1.
    EXPECT_FALSE(contient(preparer("2 3 0").sortie, EXCLUSION));
    auto r = preparer("7 7 0 1");
    EXPECT_TRUE(contient(r.sortie, EXCLUSION));
    EXPECT_EQ(pas1, 1);
    EXPECT_EQ(minx, 2);
    r = preparer("3 2 1 2 0 0 0 0 0");
    EXPECT_TRUE(r.continue_);
    EXPECT_FALSE(contient(r.sortie, EXCLUSION));
    EXPECT_EQ(pas1, 0);
}

TEST_F(Preparation, ImpairesAvecQPairTermine)
{
    auto r = preparer("1 2 1 2 1");
    EXPECT_FALSE(r.continue_);
    EXPECT_FALSE(contient(r.sortie, "Minorant"));
    EXPECT_EQ(r.sortie.substr(r.sortie.size() - AUCUNE.size()), AUCUNE);
}

TEST_F(Preparation, BornesEffectivesSelonLaParite)
{
    preparer("1 3 1 2 2 0 0 0 0");
    EXPECT_EQ(minax, 0);
    EXPECT_EQ(minx, 2);
    EXPECT_EQ(z, 2);
    preparer("1 3 1 1 1 0 10 0 0");
    EXPECT_EQ(Ma, 10);
    EXPECT_EQ(M, 9);
    EXPECT_EQ(minx, 1);
    preparer("1 3 1 1 2 3 4 0 0");  // even: 3 and 4 become 4 and 4, accepted as they are
    EXPECT_EQ(minx, 4);
    EXPECT_EQ(M, 4);
    preparer("1 3 1 1 2 0 1 0 0");  // even with a maximum of 1: M is 0 but Ma keeps 1
    EXPECT_EQ(M, 0);
    EXPECT_EQ(Ma, 1);
}

TEST_F(Preparation, BornesEgalesRedemandees)
{
    auto r = preparer("1 3 1 2 0 5 5 4 9 0 0");
    EXPECT_TRUE(contient(r.sortie, RECOMMENCEZ_X));
    EXPECT_EQ(minx, 4);
    EXPECT_EQ(M, 9);
    r = preparer("1 3 1 2 0 0 0 3 3 0 4");
    EXPECT_TRUE(contient(r.sortie, RECOMMENCEZ_N));
    EXPECT_EQ(minn, 0);
    EXPECT_EQ(maxn, 4);
}

TEST_F(Preparation, LongueursDeduites)
{
    preparer("3 2 1 2 0 4 0 0 0");
    EXPECT_EQ(min1n, 6);
    EXPECT_EQ(n, 5);  // the first length tried is 6
    preparer("3 2 1 2 0 4 0 8 0");
    EXPECT_EQ(n, 7);
    preparer("1 3 1 2 0 0 2 0 5");
    EXPECT_EQ(majn, 0);
    EXPECT_EQ(maxn, 5);
    preparer("5 6 1 2 0 0 12 0 20");
    EXPECT_EQ(majn, 10);
    EXPECT_EQ(maxn, 10);
    EXPECT_EQ(maxn2, 20);
    preparer("5 6 1 2 0 0 12 0 0");
    EXPECT_EQ(maxn, 0);
}

TEST_F(Preparation, ContraintesIncompatibles)
{
    auto r = preparer("5 6 1 2 0 10 0 0 8");
    EXPECT_FALSE(r.continue_);
    EXPECT_EQ(min1n, 9);
    EXPECT_EQ(r.sortie.substr(r.sortie.size() - INCOMPATIBLES.size()), INCOMPATIBLES);
}

TEST_F(Preparation, LongueurHorsDePortee)
{
    // n >= 10^12 from the minimum of x1, and a minimum for n beyond any int.
    for (const char* tape : {"1 1 1 2 0 1000000000000 0 0 0", "1 1 1 2 0 0 0 1000000000000000000000000000000 0"}) {
        auto r = preparer(tape);
        EXPECT_FALSE(r.continue_) << tape;
        const std::string fin = TROP_LONG;
        EXPECT_EQ(r.sortie.substr(r.sortie.size() - fin.size()), fin) << tape;
    }
    // The last length the search accepts is still searched.
    auto r = preparer("1 1 1 2 0 0 0 100000 0");
    EXPECT_TRUE(r.continue_);
    EXPECT_EQ(n, NMAX - 1);
}

TEST(Programme, ChaqueCalculRepartDeZero)
{
    // A Type 1 computation with even unknowns between 4 and 10, then one
    // without constraints in the same run: the second searches Type 2 with
    // any parity.
    Console c("0  1 3 1 1 2 4 10 2 5 0 1  1 3 0 0 0 0 0 0");
    programme();
    const std::string s = c.sortie();
    const std::size_t second = s.find("Nouveau calcul");
    ASSERT_NE(second, std::string::npos);
    EXPECT_TRUE(contient(s.substr(0, second), "Des inconnues d'une meme solution pouvant etre egales"));
    EXPECT_TRUE(contient(s.substr(0, second), "toutes paires"));
    EXPECT_TRUE(contient(s.substr(second), "Les inconnues d'une meme solution etant toutes differentes"));
    EXPECT_TRUE(contient(s.substr(second), "toutes de parites indifferentes"));
}

}  // namespace
