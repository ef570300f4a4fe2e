// The dialogue's loop: each computation of a run starts from nothing.
#include <gtest/gtest.h>

#include <string>

#include "harnais.h"
#include "dialogue/dialogue.h"

using namespace egypte;

namespace {

bool contient(const std::string& s, const std::string& morceau) { return s.find(morceau) != std::string::npos; }

TEST(Programme, ChaqueCalculRepartDeZero)
{
    // A Type 1 computation with even unknowns between 4 and 10, then one
    // without constraints in the same run: the second searches Type 2 with
    // any parity.
    essai::Console c("0  1 3 1 1 2 4 10 2 5 0 1  1 3 0 0 0 0 0 0");
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
