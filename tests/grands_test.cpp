// The fast search when Q has primes beyond machine words. Each search runs
// under a step budget that the stepping fallback would spend at once, so a
// search that no longer factors fails here instead of running on.
#include <gtest/gtest.h>

#include <NTL/ZZ.h>

#include <algorithm>
#include <string>
#include <vector>

#include "interface/chercher.h"
#include "harnais.h"
#include "commun/avancement.h"

namespace {

using egypte::Montrer;
using NTL::ZZ;

ZZ premierApres(const ZZ& v) { return NTL::NextPrime(v); }

class Grands : public testing::Test {
protected:
    // 200 looks: 204800 steps, where the factored search takes a handful.
    void SetUp() override { egypte::progres::limiter(200); }
    void TearDown() override
    {
        egypte::progres::limiter(0);
        egypte::effacerInterruption();
    }

    // 2/Q (distinct unknowns, or not), every expansion or the first only, on
    // one thread.
    egypte::Resultat chercher(const ZZ& Q, Montrer montrer, int type = 2)
    {
        egypte::Probleme p;
        p.numerateur = 2;
        p.denominateur = Q;
        p.inconnues = static_cast<egypte::Inconnues>(type);
        egypte::Demande d;
        d.montrer = montrer;
        d.fils = 1;
        releve = essai::Liste{};
        egypte::progres::commencer();  // the whole budget, for this search
        return egypte::chercher(p, d, &releve, egypte::Moteur{});
    }

    essai::Liste releve;
};

// 1/x1 + 1/x2 = 2/Q, x1 <= x2.
void verifierSomme(const std::vector<ZZ>& x, const ZZ& Q)
{
    ASSERT_EQ(x.size(), 2u);
    EXPECT_LE(x[0], x[1]);
    EXPECT_EQ(2 * x[0] * x[1], Q * (x[0] + x[1])) << x[0] << " " << x[1];
}

TEST_F(Grands, DeuxSurUnPremierDe64A128Bits)
{
    // For an odd prime p the only divisor d < p of p^2 gives the one
    // expansion in distinct terms: (p + d)/2 and (p + p^2/d)/2 with d = 1; with
    // repetitions, p + p as well.
    const ZZ deux = NTL::power2_ZZ(1);
    for (const ZZ& depart : {NTL::power2_ZZ(63), NTL::power2_ZZ(64), NTL::power2_ZZ(100), NTL::power2_ZZ(127),
                             NTL::power2_ZZ(128) - 200}) {
        const ZZ p = premierApres(depart);
        SCOPED_TRACE(p);
        const egypte::Resultat premiere = chercher(p, Montrer::premieres);
        EXPECT_NE(premiere.fin, egypte::Fin::interrompue);
        EXPECT_EQ(premiere.longueur, 2);
        ASSERT_EQ(releve.x.size(), 1u);
        verifierSomme(releve.x[0], p);
        EXPECT_EQ(releve.x[0][0], (p + 1) / deux);

        const egypte::Resultat tout = chercher(p, Montrer::tout);
        EXPECT_EQ(tout.fin, egypte::Fin::complete);
        EXPECT_EQ(tout.solutions, 1);
        EXPECT_EQ(tout.plusGrandXn, p * (p + 1) / deux);

        const egypte::Resultat rep = chercher(p, Montrer::tout, 1);
        EXPECT_EQ(rep.fin, egypte::Fin::complete);
        ASSERT_EQ(releve.x.size(), 2u);
        EXPECT_EQ(releve.x[0], (std::vector<ZZ>{p, p}));
        verifierSomme(releve.x[1], p);
    }
}

TEST_F(Grands, DeuxSurUnProduitDeDeuxPremiersDe34A40Bits)
{
    // Q = a b with primes a < b: the divisors of Q^2 below Q are 1, a, b and
    // a^2 (b^2 > ab), each an expansion (x1 = (Q + d)/2, x2 = (Q + Q^2/d)/2),
    // listed by decreasing x1.
    const ZZ a40 = premierApres(ZZ(700000000000)), b40 = premierApres(ZZ(1000000000000));
    for (const auto& [a, b] : {std::pair<ZZ, ZZ>{ZZ(10000000019), ZZ(30000000013)}, std::pair<ZZ, ZZ>{a40, b40}}) {
        const ZZ Q = a * b;
        SCOPED_TRACE(Q);
        std::vector<ZZ> d{ZZ(1), a, b, a * a};
        std::sort(d.begin(), d.end(), [](const ZZ& u, const ZZ& v) { return u > v; });
        std::vector<std::vector<ZZ>> attendu;
        for (const ZZ& t : d) attendu.push_back({(Q + t) / 2, (Q + Q * Q / t) / 2});

        const egypte::Resultat r = chercher(Q, Montrer::tout);
        EXPECT_EQ(r.fin, egypte::Fin::complete);
        EXPECT_EQ(r.solutions, 4);
        EXPECT_EQ(releve.x, attendu);
        for (const std::vector<ZZ>& x : releve.x) verifierSomme(x, Q);
        EXPECT_EQ(r.plusPetitX1, (Q + 1) / 2);
    }
}

TEST_F(Grands, DeuxSurDesPremiersDe30A45Bits)
{
    // Q odd and made of k distinct primes: each of the (3^k - 1)/2 divisors d
    // of Q^2 below Q is one expansion. Four primes of 30 bits and two of 45,
    // then four of 32 bits: FLINT's elliptic curves alone left both composite.
    const std::vector<std::vector<const char*>> cas = {
        {"1057672879", "925716401", "789024433", "1036716809", "24616369746127", "18372573973121"},
        {"4134745369", "2447654047", "3477231227", "3618953803"}};
    for (const std::vector<const char*>& premiers : cas) {
        ZZ Q(1);
        long attendu = 1;
        for (const char* p : premiers) {
            Q *= NTL::conv<ZZ>(p);
            attendu *= 3;
        }
        attendu = (attendu - 1) / 2;
        SCOPED_TRACE(Q);
        const egypte::Resultat r = chercher(Q, Montrer::compter);
        EXPECT_EQ(r.fin, egypte::Fin::complete);
        EXPECT_EQ(r.solutions, attendu);
        EXPECT_EQ(r.plusPetitX1, (Q + 1) / 2);
    }
}

TEST_F(Grands, AuDelaDeLEffortLaMarchePasAPas)
{
    // Q made of two primes of 110 bits is not factored: the walk steps x1,
    // and the budget stops it as Ctrl-C would, instead of a factoring that
    // never ends.
    const ZZ Q = premierApres(NTL::power2_ZZ(110)) * premierApres(NTL::power2_ZZ(111));
    const egypte::Resultat r = chercher(Q, Montrer::compter);
    EXPECT_EQ(r.fin, egypte::Fin::interrompue);
}

// Numbers and primes of more than 8 bits taken as big integers, held against
// the plain walk: 2/p and 5/(ab) for primes of 10 to 20 bits.
TEST(GrandsCommeLaMarche, PetitsNombresParLesGrandsChemins)
{
    essai::Reglages mots = {0, 1, 62, 0, 1};
    essai::Reglages grands = {0, 1, 0, 1, 1};
    mots.facteurs = grands.facteurs = 8;
    for (const char* t : {"2 1000003 0 0", "2 524309 1 1 0 0 0 0 0 0", "2 1022117 0 0", "2 1022117 0 2 -1",
                          "5 1022117 0 3 -1", "2 1022117 1 2 0 600000 0 0 0 0", "2 1034273 1 1 0 0 0 0 0 0"})
        for (const essai::Reglages& r : {mots, grands}) essai::comparer(t, {1}, r);
}

}  // namespace
