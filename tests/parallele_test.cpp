// The walk on several threads against the walk on one: whole computations,
// with every paging answer, must write the same bytes, read the same answers
// and count the same expansions, whatever the number of threads (more than
// the machine has, on purpose), the depth of the work units and the quota
// after which a unit hands the rest of its subtree back.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "console.h"

namespace {

essai::Reglages fils(int k, std::size_t plafond, int unitesParFil)
{
    essai::Reglages r;
    r.fils = k;
    r.plafond = plafond;
    r.unitesParFil = unitesParFil;
    return r;
}

struct Partage {
    int fils;
    std::size_t plafond;
    int unitesParFil;
};

void PrintTo(const Partage& p, std::ostream* os)
{
    *os << p.fils << " fils, plafond " << p.plafond << ", " << p.unitesParFil << " unites par fil";
}

class Parallele : public testing::TestWithParam<Partage> {
protected:
    void comparer(const std::string& tape)
    {
        const Partage& p = GetParam();
        essai::comparer(tape, essai::Reglages{}, fils(p.fils, p.plafond, p.unitesParFil));
    }
};

#ifdef EGYPTE_SOUS_SANITISEURS
constexpr int SEANCES = 150;
#else
constexpr int SEANCES = 600;
#endif

TEST_P(Parallele, SeancesAuHasard)
{
    std::mt19937 g(20261207u);
    for (int k = 0; k < SEANCES && !HasFailure(); k++) comparer(essai::seanceAuHasard(g, 30, 400));
}

// Where the backtrack that leaves a unit is delicate: runs of equal values
// (repeats allowed), a minimum for x1, odd or even unknowns, a maximum for
// xn, and the answer -1 at every position of a listing, the last expansion
// of a unit included.
TEST_P(Parallele, FrontieresDelicates)
{
    const char* const cas[] = {
        "1 1 1 1 0 0 0 5 6 -7",        "1 1 1 1 0 0 0 6 7 -13",      "1 1 1 1 2 0 0 5 6 -3",
        "1 1 1 1 1 0 0 5 6 -2",        "2 1 1 1 0 0 0 5 6 -5",       "3 1 1 1 0 0 0 6 7 -11",
        "1 1 1 2 0 3 0 5 6 -4",        "1 1 1 1 0 4 0 6 7 -9",       "1 1 1 2 2 4 0 5 6 -3",
        "1 1 1 2 1 0 0 9 10 -5",       "1 1 1 2 0 0 60 5 6 -2",      "1 1 1 1 0 0 40 6 7 -3",
        "5 121 1 2 0 0 0 4 5 -17",     "4 13 1 2 1 0 0 4 5 -3",      "3 7 1 1 2 0 0 4 5 -5",
        "9 20 1 2 0 3 500 4 5 -4",     "1 1 1 2 0 0 0 6 7 -100",     "3 4 1 1 0 0 0 5 6 0",
        "1 1 1 1 0 2 0 4 5 0",         "2 3 1 2 0 0 0 4 5 0",
    };
    for (const char* t : cas) comparer(t);
    // -1 after 1, 2, ... expansions: the stop falls on every expansion of
    // 1 as 4 unit fractions, repeats allowed (14 of them), so on the last
    // expansion of every unit and on the very last one.
    for (int k = 1; k <= 15 && !HasFailure(); k++) {
        std::ostringstream s;
        s << "1 1 1 1 0 0 0 4 5";
        for (int j = 1; j < k; j++) s << " 1";
        s << " -1";
        comparer(s.str());
        std::ostringstream t;
        t << "1 1 1 2 0 0 0 5 6";
        for (int j = 1; j < k * 5; j++) t << " 1";
        t << " -1";
        comparer(t.str());
    }
}

INSTANTIATE_TEST_SUITE_P(Fils, Parallele,
                         testing::Values(Partage{2, 1 << 16, 64}, Partage{3, 2, 4}, Partage{8, 5, 1},
                                         Partage{2, 1, 16}),
                         [](const testing::TestParamInfo<Partage>& i) {
                             return std::to_string(i.param.fils) + "_fils_plafond_" +
                                    std::to_string(i.param.plafond) + "_unites_" +
                                    std::to_string(i.param.unitesParFil);
                         });

TEST(ParalleleCas, ComptesPublies)
{
    // 1 as 7 distinct unit fractions (OEIS A006585) and 1 as 6 unit
    // fractions with repeats (OEIS A002966), on several threads.
    EXPECT_EQ(essai::calculer("1 1 1 2 0 0 0 7 8 -1000000", fils(3, 1 << 10, 8)).compte, 245765);
    EXPECT_EQ(essai::calculer("1 1 1 1 0 0 0 6 7 -1000000", fils(2, 1 << 16, 64)).compte, 3462);
}

}  // namespace
