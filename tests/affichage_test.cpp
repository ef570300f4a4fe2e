// The dialogue's display under each paging mode, with what the engine hands it;
// the whole-program sessions hold the exact texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/livraison.h"
#include "harnais.h"
#include "dialogue/pagination.h"
#include "sortie/rapport.h"
#include "marche/recherche.h"

using namespace egypte;
using essai::Console;

namespace {

const std::string QUESTION = "Nombre K de solutions suivantes a afficher ou autre option";

struct Affichage : ::testing::Test {
    // Finds the expansions (10 + k, 100 - k) for k = 1..count, with the given
    // answers typed; returns the x1 of those shown.
    std::vector<long> afficher(int count, const std::string& reponses)
    {
        s = Recherche();
        s.marche.n = 2;
        s.marche.x.SetLength(3);
        Pagination pagination(2, false);
        Livraison livraison(Demande{}, &pagination, nullptr);
        s.sortie = &livraison;
        Console c(reponses);
        for (int k = 1; k <= count && !s.arretDemande; k++) {
            s.marche.x[1] = 10 + k;
            s.marche.x[2] = 100 - k;
            s.livrer();
        }
        texte = c.sortie();
        questions = 0;
        for (std::size_t p = 0; (p = texte.find(QUESTION, p)) != std::string::npos; p++) questions++;
        std::vector<long> x1;
        for (const auto& d : essai::lignesSolutions(texte)) x1.push_back(d[0]);
        return x1;
    }
    Recherche s;
    std::string texte;
    int questions = 0;
};

TEST_F(Affichage, ModesDePagination)
{
    using V = std::vector<long>;
    const struct { int count; const char* reponses; int questions; V montres; long K1; } cas[] = {
        {6, "3 -1", 2, {11, 12, 13, 14}, 4},  // 2, 3, 4 shown, asked again after 4, stopped
        {9, "0", 1, {11, 12, 13, 14, 15, 16, 17, 18, 19}, 9},  // everything, never asked again
        {9, "-3", 1, {11, 12, 15, 18}, 9},                      // one in every 3 after the answer
        {7, "-3", 1, {11, 12, 15}, 7},
        // A page of 2^63 - 1 or 10^20 solutions: never reached, never asked again.
        {7, "9223372036854775807", 1, {11, 12, 13, 14, 15, 16, 17}, 7},
        {7, "100000000000000000000", 1, {11, 12, 13, 14, 15, 16, 17}, 7},
        // One in every 2^63 or 10^20: the first after the answer, then none.
        {7, "-9223372036854775808", 1, {11, 12}, 7},
        {7, "-100000000000000000000", 1, {11, 12}, 7},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(afficher(c.count, c.reponses), c.montres) << c.reponses;
        EXPECT_EQ(questions, c.questions) << c.reponses;
        EXPECT_EQ(s.bilan.nombre, c.K1) << c.reponses;
        // The extremes count the solutions not shown.
        EXPECT_EQ(s.bilan.plusGrandXn, 99) << c.reponses;
        EXPECT_EQ(s.bilan.plusPetitX1, 11) << c.reponses;
    }
}

TEST(Rapport, CompteurAuDelaDe2Puissance31)
{
    Probleme p;
    p.denominateur = 2;
    Resultat r;
    r.P = 1;
    r.Q = 2;
    r.longueur = 2;
    r.solutions = 5000000000LL;
    Console c("");
    rapportDialogue(std::cout, p, r, BornesTapees{});
    EXPECT_NE(c.sortie().find("  admet  5000000000   solution(s)."), std::string::npos);
}

}  // namespace
