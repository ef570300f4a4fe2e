// The display of the expansions under each paging mode, and the report.
#include <gtest/gtest.h>

#include <string>

#include "console.h"
#include "search/etat.h"

using namespace egypte;
using essai::Console;

namespace {

const std::string QUESTION =
    "\n \n \t Nombre K de solutions suivantes a afficher ou autre option :  \n \n \t [K] / [zero, pas de limite] / "
    "[-1, arreter] / [-K (K>1), pas de  limite et affichage toutes les K solutions] ?    \t";

// Each test works on a search of its own.
struct Etat : ::testing::Test, egypte::Recherche {
    // Shows the expansions (k, 2k) for k = 1..count, with the given answers typed.
    std::string afficher(int count, const std::string& reponses, std::int64_t& questions)
    {
        n = 2;
        type = 2;
        pas1 = 0;
        K1 = K2 = K3 = 0;
        m = 0;
        L = 1;
        i = 0;
        x.SetLength(3);
        Console c(reponses);
        for (int k = 1; k <= count && L != -1; k++) {
            x[1] = 10 + k;
            x[2] = 100 - k;
            affiche();
        }
        const std::string s = c.sortie();
        questions = 0;
        for (std::size_t p = 0; (p = s.find(QUESTION, p)) != std::string::npos; p++) questions++;
        return s;
    }
};

struct Affichage : Etat {
};
struct Rapport : Etat {
};

TEST_F(Affichage, LaQuestionFait189Caracteres) { EXPECT_EQ(QUESTION.size(), 189u); }

TEST_F(Affichage, ModesDePagination)
{
    std::int64_t questions;
    // Answer 3 after solution 1: 2, 3, 4 shown, asked again after 4.
    auto s = afficher(6, "3 -1", questions);
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(essai::lignesSolutions(s).size(), 4u);
    EXPECT_EQ(K1, 4);
    // Answer 0: everything shown, never asked again.
    s = afficher(9, "0", questions);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(essai::lignesSolutions(s).size(), 9u);
    // Answer -3 after solution 1: 2, 5, 8 shown, each followed by an empty line.
    s = afficher(9, "-3", questions);
    EXPECT_EQ(questions, 1);
    const auto l = essai::lignesSolutions(s);
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[1][0], 12);
    EXPECT_EQ(l[2][0], 15);
    EXPECT_EQ(l[3][0], 18);
    EXPECT_NE(s.find("\t \t \t 5  :      15\t \t95\t \t\n\n"), std::string::npos);
    // The extremes count the solutions not shown.
    EXPECT_EQ(m, 99);
    EXPECT_EQ(m1, 11);
    EXPECT_EQ(K1, 9);
}

TEST_F(Affichage, PaginationAuDelaDe64Bits)
{
    std::int64_t questions;
    // A page of 2^63 - 1 or of 10^20 solutions: never reached, never asked again.
    for (const char* k : {"9223372036854775807", "100000000000000000000"}) {
        const auto s = afficher(7, k, questions);
        EXPECT_EQ(questions, 1) << k;
        EXPECT_EQ(essai::lignesSolutions(s).size(), 7u) << k;
    }
    // One in every 2^63 or 10^20: the first after the answer is shown, then
    // none, and the count goes on.
    for (const char* k : {"-9223372036854775808", "-100000000000000000000"}) {
        const auto s = afficher(7, k, questions);
        EXPECT_EQ(questions, 1) << k;
        const auto l = essai::lignesSolutions(s);
        ASSERT_EQ(l.size(), 2u) << k;
        EXPECT_EQ(l[1][0], 12) << k;
        EXPECT_EQ(K1, 7);
        EXPECT_EQ(K3, 6);
    }
    // One in every 3, written in 64 bits or fewer: the cycle restarts.
    const auto s = afficher(7, "-3", questions);
    EXPECT_EQ(essai::lignesSolutions(s).size(), 3u);
}

TEST_F(Affichage, EnteteDeType1SansUn)
{
    type = 1;
    n = 2;
    pas1 = 1;
    K1 = 0;
    L = 0;
    x.SetLength(3);
    x[1] = 2;
    x[2] = 2;
    Console c("");
    affiche();
    EXPECT_EQ(c.sortie(),
              "\n \n \t \t Il faut au minimun : 2  fractions unitaires  qui peuvent etre egales entre elles. \n \t \t "
              "La valeur 1 etant interdite pour la plus petite inconnue.\n\n \n \t \t Tableau des solutions "
              "numerotees :  \n \n \t \t \t 1  :      2\t \t2\t \t\n");
}

TEST_F(Rapport, FractionEtBornes)
{
    n = 3;
    P1 = 6;
    Q1 = 4;
    pg = 2;
    P = 3;
    Q = 2;
    K1 = 12;
    type = 1;
    parite = 2;
    minax = 0;
    Ma = 100;
    minn = 0;
    maxn2 = 5;
    m = 40;
    m1 = 2;
    Console c("");
    resultat();
    EXPECT_EQ(c.sortie(),
              "\n\n \t L'equation Diophantienne a  3  inconnues : 1/x1 + 1/x2 + 1/x3 +.....   1/xn =  6/4 = 3/2 ,  "
              "(n = 3) ,  admet  12   solution(s). \n  \n \t Des inconnues d'une meme solution pouvant etre egales. "
              "\n \t Elles sont egalement toutes paires. \n \n  \n \n \t  Les inconnues doivent etre telles que :   0 "
              "<=  x1 <= x2 <= .... <= xn   <=  100 .  \n  \n \t  Le nombre minimum, n d'inconnues, devait etre tel "
              "que :   0  <=  n   <=  5 .   \n  \n \t \t 40  est la plus grande valeur prise par xn. \n \n \t \t 2  "
              "est la plus petite valeur prise par x1. \n ");
}

TEST_F(Rapport, CompteurAuDelaDe2Puissance31)
{
    n = 2;
    P1 = P = 1;
    Q1 = Q = 2;
    pg = 1;
    K1 = 5000000000LL;
    type = 2;
    parite = 0;
    minax = Ma = minn = maxn2 = 0;
    Console c("");
    resultat();
    EXPECT_NE(c.sortie().find("  admet  5000000000   solution(s)."), std::string::npos);
}

}  // namespace
