// The expansions that begin with given denominators: the whole listing
// filtered by its beginning, and the beginnings refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "egypte/egypte.h"
#include "harnais.h"
#include "programme.h"

namespace {

using egypte::Probleme;

using essai::Liste;

TEST(Debut, LaListeEntiereFiltreeParSonDebut)
{
    std::mt19937 alea(7);
    for (int e = 0; e < 40; e++) {
        Probleme p;
        p.numerateur = 1 + alea() % 5;
        p.denominateur = 2 + alea() % 9;
        p.inconnues = static_cast<egypte::Inconnues>(1 + alea() % 2);
        p.parite = static_cast<egypte::Parite>(alea() % 4 == 0 ? 1 + alea() % 2 : 0);
        if (alea() % 3 == 0) p.maximumXn = 200 + alea() % 2000;
        p.longueur = 4 + alea() % 2;
        egypte::Demande d;
        d.fils = 1 + static_cast<int>(alea() % 2);
        Liste tout;
        const egypte::Resultat r = egypte::chercher(p, d, &tout);
        if (tout.x.empty()) continue;
        // A beginning of an expansion found, or the same moved by one.
        const std::vector<NTL::ZZ>& modele = tout.x[alea() % tout.x.size()];
        Probleme q = p;
        q.debut.assign(modele.begin(), modele.begin() + 1 + alea() % (modele.size() - 1));
        if (alea() % 3 == 0) q.debut.back() += 1;
        std::vector<std::vector<NTL::ZZ>> attendu;
        for (const auto& x : tout.x)
            if (std::equal(q.debut.begin(), q.debut.end(), x.begin())) attendu.push_back(x);
        Liste filtre;
        try {
            const egypte::Resultat rf = egypte::chercher(q, d, &filtre);
            EXPECT_EQ(filtre.x, attendu) << "essai " << e;
            EXPECT_EQ(rf.solutions, static_cast<std::int64_t>(attendu.size()));
            EXPECT_EQ(rf.P, r.P);
            EXPECT_EQ(rf.Q, r.Q);
            if (!attendu.empty()) {
                EXPECT_EQ(rf.longueur, r.longueur);
                EXPECT_EQ(rf.plusPetitX1, q.debut.front());
            }
        } catch (const egypte::Erreur& err) {
            // Refused: it breaks a constraint or reaches P/Q, so nothing begins so.
            EXPECT_TRUE(attendu.empty()) << "essai " << e << ": " << err.what();
        }
    }
}

TEST(Debut, UnDebutQuiSeRepete)
{
    // A beginning that repeats with --repetitions, and one of the rest's own
    // length: 1 = 1/3 + 1/3 + 1/3 with no more than the beginning's sum left.
    const essai::Execution x = essai::executer({"--repetitions", "--debut", "3,3", "1/1"});
    EXPECT_EQ(x.statut, 0);
    EXPECT_EQ(x.sortie.substr(0, 6), "3 3 3\n");
}

}  // namespace
