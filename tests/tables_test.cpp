// The scans that give a result per fraction.
#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/egypte.h"
#include "harnais.h"
#include "programme.h"

namespace {

using egypte::DemandeBalayage;
using egypte::LigneBalayage;
using egypte::ModeBalayage;
using egypte::Probleme;

using Releve = essai::Lignes;

// M/n = 1/x + 1/y + 1/z with x < y < z (or x <= y <= z), by three loops over
// x and y and the z they leave, in 128-bit integers: the count, the largest
// z and the smallest z.
struct Brut {
    long compte = 0, plusGrandZ = 0, plusPetitZ = 0;
};

Brut brut(long M, long n, bool distinctes)
{
    Brut b;
    using I = __int128;
    // 1/x < M/n <= 3/x: n/M < x <= 3n/M.
    for (long x = n / M + 1; static_cast<I>(x) * M <= 3 * static_cast<I>(n); x++) {
        // What is left, a/c = M/n - 1/x, as 2/y >= a/c > 1/y.
        const I a = static_cast<I>(M) * x - n, c = static_cast<I>(n) * x;
        if (a <= 0) continue;
        for (I y = std::max<I>(distinctes ? x + 1 : x, c / a + 1); y * a <= 2 * c; y++) {
            const I num = a * y - c, den = c * y;  // 1/z = num/den
            if (num <= 0 || den % num != 0) continue;
            const I z = den / num;
            if (z < y || (distinctes && z == y)) continue;
            b.compte++;
            const long zl = static_cast<long>(z);
            if (b.compte == 1 || zl > b.plusGrandZ) b.plusGrandZ = zl;
            if (b.compte == 1 || zl < b.plusPetitZ) b.plusPetitZ = zl;
        }
    }
    return b;
}

TEST(Tables, LesFamillesContreLaForceBrute)
{
    for (const long M : {4L, 5L})
        for (const bool distinctes : {true, false}) {
            Probleme c;
            c.inconnues = distinctes ? egypte::Inconnues::distinctes : egypte::Inconnues::repetees;
            c.longueur = 3;
            DemandeBalayage d;
            d.numerateur = M;
            d.q1 = 1;
            d.q2 = 150;
            d.mode = ModeBalayage::compter;
            d.fils = 2;
            Releve r;
            ASSERT_TRUE(egypte::balayer(c, d, r).complet());
            ASSERT_EQ(r.lignes.size(), 150u);
            for (const LigneBalayage& l : r.lignes) {
                SCOPED_TRACE(std::to_string(M) + "/" + std::to_string(l.q) + (distinctes ? " distinctes" : " repetees"));
                ASSERT_EQ(l.fractions.size(), 1u);
                const egypte::Resultat& x = l.fractions[0].resultat;
                const Brut b = brut(M, l.q, distinctes);
                EXPECT_EQ(l.fractions[0].p, M);  // kept as entered, 4/6 is 4/6
                EXPECT_TRUE(x.complet());
                EXPECT_EQ(x.solutions, b.compte);
                if (b.compte == 0) continue;
                EXPECT_EQ(x.plusGrandXn, b.plusGrandZ);
                EXPECT_EQ(x.plusPetitXn, b.plusPetitZ);
            }
        }
}

TEST(Tables, LesCompteursAlaMain)
{
    // By hand: 4/5 = 1/2 + 1/4 + 1/20 = 1/2 + 1/5 + 1/10; 4/3 = 1 + 1/4 + 1/12;
    // 4/2 and 4/1 have no three distinct unit fractions.
    const essai::Execution distinctes = essai::executer({"--balayer", "1..5", "--numerateur", "4", "--longueur", "3", "--compter"});
    EXPECT_EQ(distinctes.statut, 0) << distinctes.erreurs;
    EXPECT_EQ(distinctes.sortie, "1 0\n2 0\n3 1\n4 1\n5 2\n");
}

TEST(Tables, AuPlusKContreLaLongueurExacte)
{
    std::mt19937 alea(2026);
    for (int e = 0; e < 8; e++) {
        Probleme c;
        c.inconnues = e % 2 == 1 ? egypte::Inconnues::repetees : egypte::Inconnues::distinctes;
        DemandeBalayage d;
        d.mode = ModeBalayage::auPlus;
        d.auPlus = 2 + static_cast<long>(alea() % 3);
        d.q1 = 20 + alea() % 40;
        d.q2 = d.q1 + 8;
        d.fils = 1 + e % 2;
        Releve r;
        ASSERT_TRUE(egypte::balayer(c, d, r).complet());
        SCOPED_TRACE("essai " + std::to_string(e) + " K " + std::to_string(d.auPlus));
        for (const LigneBalayage& l : r.lignes) {
            std::vector<std::pair<long, int>> attendu, obtenu;
            for (long p = 1; p < l.q; p++) {
                if (std::gcd(p, static_cast<long>(l.q)) != 1) continue;
                const int n = egypte::longueurMinimale(c, NTL::ZZ(p), NTL::ZZ(l.q)).n;
                if (n == 0 || n > d.auPlus) attendu.emplace_back(p, n);
            }
            for (const egypte::FractionBalayee& f : l.fractions)
                obtenu.emplace_back(NTL::to_long(f.p), f.resultat.longueur);
            EXPECT_EQ(obtenu, attendu) << "q = " << l.q;
        }
    }
}

TEST(Tables, LeMeilleurDuBalayageEstCeluiDeLaFraction)
{
    const essai::Execution b = essai::executer({"--balayer", "2..7", "--numerateur", "3", "--meilleur"});
    ASSERT_EQ(b.statut, 0) << b.erreurs;
    std::string attendu;
    for (int q = 2; q <= 7; q++) {
        const essai::Execution m = essai::executer({"--meilleur", "3/" + std::to_string(q)});
        const std::string ligne = m.sortie.substr(0, m.sortie.find('\n'));
        attendu += "3/" + std::to_string(q) + ": " + ligne + "\n";
    }
    EXPECT_EQ(b.sortie, attendu);
}

TEST(Tables, UnBalayageDeComptesArretePuisRepris)
{
    // Stopped by SIGTERM and SIGKILL at random moments, resumed from its journal into its
    // file: the file ends as one uninterrupted run's output.
    const std::string journal = essai::temporaire("tables.journal"), fichier = essai::temporaire("tables.txt");
#ifdef EGYPTE_SOUS_SANITISEURS
    const std::string plage = "1..400";
#else
    const std::string plage = "1..3000";
#endif
    // The b-file's lines, the JSON objects (whose keys hold '_'), and the
    // fractions past 6 terms (q without one write nothing).
    for (const int sorte : {0, 1, 2}) {
#ifdef EGYPTE_SOUS_SANITISEURS
        // Each run builds the decider's tables, slow under the sanitizers.
        if (sorte == 2) continue;
#endif
        const bool json = sorte == 1;
        std::vector<std::string> base = {"--balayer", plage, "--numerateur", "5", "--longueur", "3", "--compter"};
        if (json) base.push_back("--json");
        if (sorte == 2) base = {"--balayer", "650..760", "--au-plus", "6"};
        const essai::Execution entier = essai::executer(base);
        ASSERT_EQ(entier.statut, 0);
        std::vector<std::string> args = base;
        args.insert(args.end(), {"--journal", journal, "--sortie", fichier});
        essai::Reprise r;
        r.signaux = {"TERM", "KILL"};
        r.fichiers = {journal, fichier};
        essai::arreterPuisReprendre(args, r);
        EXPECT_EQ(essai::lire(fichier), entier.sortie) << sorte;
    }
}

}  // namespace
