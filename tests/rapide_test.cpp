// The fast search against the plain walk: whole computations typed through
// calcul, with every paging answer, must write exactly the same bytes and
// read exactly the same answers; and the published counts through the fast
// search.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "console.h"
#include "search/etat.h"
#include "search/recherche.h"

using essai::Console;

namespace {

// Runs both searches and requires the same transcript: the plain walk on one
// thread against the fast search with the given settings.
void comparer(const std::string& tape, const essai::Reglages& r = {})
{
    essai::Reglages simple;
    simple.simple = 1;
    essai::comparer(tape, simple, r);
}

bool contient(const std::string& s, const std::string& m) { return s.find(m) != std::string::npos; }

const std::string RAPPORT = "L'equation Diophantienne a";

// Random computations: P/Q with Q up to qMax, and (under constraints) a
// maximum for xn up to about mMax, which keeps the plain walk short.
void hasard(unsigned graine, int nombre, long qMax = 30, long mMax = 400, const essai::Reglages& r = {})
{
    std::mt19937 g(graine);
    for (int k = 0; k < nombre; k++) {
        comparer(essai::seanceAuHasard(g, qMax, mMax), r);
        if (::testing::Test::HasFailure()) break;
    }
}

// Every way the fast search can take: machine words or big integers, the
// divisors listed or the range stepped, or the choice by their counts; and
// the values of x[n-2] run through in machine words or stepped by the walk.
struct Reglage {
    int bits, methode, avant;
};

void PrintTo(const Reglage& r, std::ostream* os)
{
    *os << "bits " << r.bits << ", methode " << r.methode << ", avant " << r.avant;
}

class Rapide : public testing::TestWithParam<Reglage> {
protected:
    essai::Reglages reglages() const
    {
        essai::Reglages r;
        r.bits = GetParam().bits;
        r.methode = GetParam().methode;
        r.avant = GetParam().avant;
        return r;
    }
};

// Under the sanitizers the plain walk runs far slower (minutes for these
// sessions): that build looks for memory and undefined-behaviour faults along
// every path, which a few dozen sessions per path already take, and the
// normal build keeps the full count of comparisons.
#ifdef EGYPTE_SOUS_SANITISEURS
constexpr int SEANCES = 60;
#else
constexpr int SEANCES = 2000;
#endif

TEST_P(Rapide, MemeSortieQueLaMarcheSimple)
{
    hasard(20261206u, SEANCES, 30, 400, reglages());
}

TEST(RapideCas, MemeSortiePourDeGrandsDenominateurs)
{
    // Larger denominators and maxima: longer ranges of x[n-2] and x[n-1],
    // larger q, more divisors.
    hasard(31122026u, 60, 1000, 700);
    hasard(6122026u, 60, 1000, 700);
    hasard(1226u, 60, 1000, 700);
}

INSTANTIATE_TEST_SUITE_P(Chemins, Rapide,
                         testing::Values(Reglage{62, 0, 1}, Reglage{62, 0, 0}, Reglage{62, 1, 1}, Reglage{62, 2, 1},
                                         Reglage{62, 3, 1}, Reglage{62, 3, 0}, Reglage{0, 1, 1}, Reglage{0, 2, 1}),
                         [](const testing::TestParamInfo<Reglage>& i) {
                             return std::string(i.param.bits ? "mots" : "grands") + "_" +
                                    std::to_string(i.param.methode) + (i.param.avant ? "" : "_sans_avant");
                         });

TEST(RapideCas, ArretALaDerniereSolution)
{
    // 1/2 in two unknowns, Type 1: (4,4) then (3,6). Stopping at (3,6), the
    // last one, ends the walk in the same step: the report is written.
    const std::string tape = "1 2 1 1 0 0 0 2 3 1 -1";
    comparer(tape);
    EXPECT_TRUE(contient(essai::calculer(tape, {}).sortie, RAPPORT));
    // Stopping at (4,4) leaves (3,6) unseen: no report.
    const std::string avant = "1 2 1 1 0 0 0 2 3 -1";
    comparer(avant);
    EXPECT_FALSE(contient(essai::calculer(avant, {}).sortie, RAPPORT));
}

TEST(RapideCas, GrandsCasIdentiques)
{
    // Longer walks, where the ranges of the penultimate unknown are long.
    for (const char* tape : {"1 1 1 2 0 0 0 5 6 -7", "1 1 1 1 0 0 0 5 6 -13", "5 121 1 2 0 0 0 4 5 3 2 -17",
                             "4 13 1 2 1 0 0 4 5 -3", "3 7 1 1 2 0 0 4 5 -5", "1 1 1 2 0 0 0 6 7 5 -100",
                             "9 20 1 2 0 3 500 4 5 2 -4"})
        comparer(tape);
}

std::int64_t compter(const std::string& tape) { return essai::calculer(tape, {}).compte; }

TEST(RapideCas, ComptesPublies)
{
    // 1 as n distinct unit fractions (OEIS A006585).
    const std::int64_t distinctes[] = {0, 0, 0, 1, 6, 72, 2320};
    for (int n = 3; n <= 6; n++) {
        std::ostringstream s;
        s << "1 1 1 2 0 0 0 " << n << ' ' << n + 1 << " -1000000";
        EXPECT_EQ(compter(s.str()), distinctes[n]) << "n = " << n;
    }
    // 1 as n unit fractions, repeats allowed (OEIS A002966).
    const std::int64_t repetees[] = {0, 1, 1, 3, 14, 147, 3462};
    for (int n = 1; n <= 6; n++) {
        std::ostringstream s;
        s << "1 1 1 1 0 0 0 " << n << ' ' << n + 1 << " -1000000";
        EXPECT_EQ(compter(s.str()), repetees[n]) << "n = " << n;
    }
}

}  // namespace
