// Every other way of searching held against the plain walk on one thread
// (the threads against the fast search on one thread, itself held against the
// plain walk here): same bytes, same answers read, same count; and the count
// and extremes of every path against the plain walk's full listing.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "harnais.h"

namespace {

struct Chemin {
    const char* nom;
    essai::Reglages r;
};

void PrintTo(const Chemin& c, std::ostream* os) { *os << c.nom; }

essai::Reglages rapide(int bits, int methode, int avant, int facteurs = 64)
{
    essai::Reglages r{0, 1, bits, methode, avant};
    r.facteurs = facteurs;
    return r;
}
essai::Reglages fils(int k, std::size_t plafond, int parFil, int loin = 0, std::int64_t travail = 1 << 16,
                     int valeurs = 1024)
{
    essai::Reglages r{0, k, 62, 0, 1, plafond, parFil, loin};
    r.travail = travail;
    r.valeurs = valeurs;
    return r;
}

// The first nine also take the delicate cases (the plain walk is slow on them:
// one fast path only). The walks on several threads are the ones run under
// ThreadSanitizer (by the name Parallele).
const Chemin CHEMINS[] = {
    {"mots_0", rapide(62, 0, 1)},
    {"Parallele_2_fils", fils(2, 1 << 16, 64)},
    {"Parallele_3_fils_plafond_2", fils(3, 2, 4)},
    {"Parallele_8_fils_plafond_5", fils(8, 5, 1)},
    {"Parallele_2_fils_plafond_1", fils(2, 1, 16)},
    {"Parallele_reseau_plafond_2", fils(1, 2, 4, 2)},
    {"Parallele_reseau_plafond_5", fils(2, 5, 1, 3)},
    {"Parallele_2_fils_travail_3", fils(2, 1 << 16, 4, 0, 3, 2)},
    {"Parallele_reseau_travail_2", fils(1, 1 << 16, 2, 2, 2, 3)},
    {"mots_0_sans_avant", rapide(62, 0, 0)}, {"mots_1", rapide(62, 1, 1)}, {"mots_2", rapide(62, 2, 1)},
    {"mots_3", rapide(62, 3, 1)}, {"mots_3_sans_avant", rapide(62, 3, 0)}, {"grands_1", rapide(0, 1, 1)},
    {"grands_2", rapide(0, 2, 1)}, {"facteurs_grands_mots_0", rapide(62, 0, 1, 8)},
    {"facteurs_grands_grands_1", rapide(0, 1, 1, 8)},
};

class Chemins : public testing::TestWithParam<Chemin> {
protected:
    void comparer(const std::string& tape)
    {
        const essai::Reglages& r = GetParam().r;
        essai::comparer(tape, r.fils > 1 || r.loin > 0 ? essai::Reglages{} : essai::Reglages{1}, r);
    }
};

// Under the sanitizers the plain walk runs far slower: a few dozen sessions
// per path already take every path there.
#ifdef EGYPTE_SOUS_SANITISEURS
constexpr int SEANCES = 60, SEANCES_FILS = 150;
#else
constexpr int SEANCES = 2000, SEANCES_FILS = 600;
#endif

TEST_P(Chemins, SeancesAuHasard)
{
    const bool fils = GetParam().r.fils > 1 || GetParam().r.loin > 0;
    std::mt19937 g(fils ? 20261207u : 20261206u);
    const int k = fils ? SEANCES_FILS : SEANCES;
    for (int j = 0; j < k && !HasFailure(); j++) comparer(essai::seanceAuHasard(g, 30, 400));
}

// Where a unit's exit and the fast search's ranges are delicate, and the
// answer -1 at every position of a listing (a unit's last included).
class Frontieres : public Chemins {};

TEST_P(Frontieres, CasDelicats)
{
    for (const char* t : {"1 1 1 1 0 0 0 5 6 -7", "1 1 1 1 2 0 0 5 6 -3", "1 1 1 1 1 0 0 5 6 -2",
                          "2 1 1 1 0 0 0 5 6 -5", "1 1 1 2 0 3 0 5 6 -4", "1 1 1 2 2 4 0 5 6 -3",
                          "1 1 1 2 0 0 60 5 6 -2", "1 1 1 1 0 0 40 6 7 -3", "5 121 1 2 0 0 0 4 5 3 2 -17",
                          "4 13 1 2 1 0 0 4 5 -3", "3 7 1 1 2 0 0 4 5 -5", "9 20 1 2 0 3 500 4 5 2 -4",
                          "3 4 1 1 0 0 0 5 6 0", "1 1 1 1 0 2 0 4 5 0", "2 3 1 2 0 0 0 4 5 0",
                          "1 2 1 1 0 0 0 2 3 1 -1", "1 2 1 1 0 0 0 2 3 -1", "1 1 1 1 0 0 0 6 7 -13",
                          "3 1 1 1 0 0 0 6 7 -11", "1 1 1 1 0 4 0 6 7 -9", "1 1 1 2 1 0 0 9 10 -5",
                          "1 1 1 2 0 0 0 6 7 5 -100"})
        comparer(t);
    for (int k = 1; k <= 15 && !HasFailure(); k++) {
        std::string s = "1 1 1 1 0 0 0 4 5", t = "1 1 1 2 0 0 0 5 6";
        for (int j = 1; j < k; j++) s += " 1";
        for (int j = 1; j < k * 5; j++) t += " 1";
        comparer(s + " -1");
        comparer(t + " -1");
    }
}

// The count and extremes of a problem from the full listing of the plain walk
// on one thread: the brute answer every path is held against.
class Releve : public egypte::Recepteur {
public:
    egypte::Bilan bilan;
    Suite recevoir(const egypte::Developpement& x, std::int64_t) override
    {
        bilan.ajouter(x[0], x[x.taille() - 1]);
        return {};
    }
};

egypte::Bilan parLaListe(const egypte::Probleme& p)
{
    egypte::Demande d;
    d.marcheDeReference = true;
    Releve r;
    const egypte::Resultat res = egypte::chercher(p, d, &r);
    EXPECT_EQ(res.solutions, r.bilan.nombre);
    return r.bilan;
}

void tenirContre(const egypte::Bilan& attendu, std::int64_t solutions, const NTL::ZZ& plusGrandXn,
                 const NTL::ZZ& plusPetitX1, const NTL::ZZ& plusPetitXn)
{
    ASSERT_EQ(solutions, attendu.nombre);
    if (solutions == 0) return;
    EXPECT_EQ(plusPetitXn, attendu.plusPetitXn);
    EXPECT_EQ(plusGrandXn, attendu.plusGrandXn);
    EXPECT_EQ(plusPetitX1, attendu.plusPetitX1);
}

// Counted, the fast search takes a range of x[n-1] at once (whose smallest xn
// is that of its first expansion, not of the last one it holds), units bring
// back their batches' extremes, through the text of their messages when
// dealt out.
const std::string COMPTER = " -1000000000";

// Problems whose ranges hold several expansions (small random ones seldom
// do), then random ones: the problem part of a session, without its paging.
std::vector<std::string> problemes(unsigned graine, int hasard)
{
    std::vector<std::string> tapes = {"1 1 1 2 0 0 0 5 6",   "3 4 1 2 0 0 0 5 6",    "1 1 1 1 0 0 0 5 6",
                                      "5 121 1 2 0 0 0 4 5", "2 3 1 1 1 0 0 4 5",    "9 20 1 2 0 3 500 4 5",
                                      "4 5 1 2 0 0 0 4 5",   "1 1 1 2 2 0 0 6 7",    "1 1 1 1 1 0 0 5 6",
                                      "7 9 1 2 0 0 900 4 5", "13 17 1 1 0 2 0 5 6", "1 2 1 2 0 0 0 4 5"};
    std::mt19937 g(graine);
    for (int j = 0; j < hasard; j++) {
        const std::string tape = essai::seanceAuHasard(g, 30, 400, COMPTER);
        tapes.push_back(tape.substr(0, tape.size() - COMPTER.size()));
    }
    return tapes;
}

TEST_P(Chemins, PlusPetitXnContreLaListe)
{
    const essai::Reglages& r = GetParam().r;
    for (const std::string& tape : problemes(r.fils > 1 || r.loin > 0 ? 20261208u : 20261209u, SEANCES / 8)) {
        if (HasFailure()) break;
        SCOPED_TRACE("typed: " + tape);
        // Through the dialogue (the first expansions shown one by one, then
        // one in 10^9), and counted from the start through the API.
        const essai::Trace t = essai::calculer(tape + COMPTER, r);
        const egypte::Bilan attendu = parLaListe(t.probleme);
        egypte::Demande d;
        d.montrer = egypte::Montrer::compter;
        for (const egypte::Resultat& res : {t.resultat, essai::chercher(t.probleme, d, r)}) {
            EXPECT_EQ(res.fin, egypte::Fin::complete);
            tenirContre(attendu, res.solutions, res.plusGrandXn, res.plusPetitX1, res.plusPetitXn);
        }
    }
}

std::string nom(const testing::TestParamInfo<Chemin>& i) { return i.param.nom; }
INSTANTIATE_TEST_SUITE_P(Tous, Chemins, testing::ValuesIn(CHEMINS), nom);
INSTANTIATE_TEST_SUITE_P(Tous, Frontieres, testing::ValuesIn(CHEMINS, CHEMINS + 9), nom);

TEST(Chemins, GrandsDenominateurs)
{
    // Longer ranges of x[n-2] and x[n-1], larger q, more divisors.
    for (unsigned graine : {31122026u, 6122026u, 1226u}) {
        std::mt19937 g(graine);
        for (int k = 0; k < 60 && !HasFailure(); k++) essai::comparer(essai::seanceAuHasard(g, 1000, 700), {1}, {});
    }
}

}  // namespace
