// The public API as a program that uses the library sees it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/egypte.h"
#include "harnais.h"

namespace {

using egypte::Developpement;
using egypte::Montrer;

// Keeps the numbers of the expansions it is handed; after `apres` of them,
// answers `suite`.
struct Releve : egypte::Recepteur {
    std::vector<std::int64_t> numeros;
    std::vector<std::vector<NTL::ZZ>> valeurs;
    std::size_t apres = 0;
    Suite suite;
    Suite recevoir(const Developpement& x, std::int64_t numero) override
    {
        numeros.push_back(numero);
        valeurs.push_back(x.valeurs());
        return numeros.size() == apres ? suite : Suite{};
    }
};

egypte::Probleme unEn(long n)
{
    egypte::Probleme p;
    p.longueur = n;
    return p;
}

TEST(Api, LesPremieresSansRecepteur)
{
    // The first three, without a receiver: the search stops there all the same.
    egypte::Demande d;
    d.montrer = Montrer::premieres;
    d.K = 3;
    d.fils = 2;
    const egypte::Resultat r = egypte::chercher(unEn(7), d);
    EXPECT_EQ(r.fin, egypte::Fin::arretee);
    EXPECT_EQ(r.solutions, 3);
}

TEST(Api, LeRecepteurArreteOuChangeCeQuIlRecoit)
{
    // 1 as 5 distinct unit fractions: 72 expansions, every one handed over.
    egypte::Demande tout;
    tout.fils = 2;
    Releve complet;
    ASSERT_EQ(egypte::chercher(unEn(5), tout, &complet).solutions, 72);
    ASSERT_EQ(complet.numeros.size(), 72u);

    // Stopped after the 10th: the count stops there too.
    Releve arrete;
    arrete.apres = 10;
    arrete.suite.arreter = true;
    const egypte::Resultat ra = egypte::chercher(unEn(5), tout, &arrete);
    EXPECT_EQ(ra.fin, egypte::Fin::arretee);
    EXPECT_EQ(ra.solutions, 10);
    EXPECT_EQ(arrete.valeurs, std::vector<std::vector<NTL::ZZ>>(complet.valeurs.begin(), complet.valeurs.begin() + 10));

    // After the 4th, one in every 7: the 5th, 12th, 19th, ... all counted,
    // and the last one found kept.
    Releve uneSur;
    uneSur.apres = 4;
    uneSur.suite.changer = true;
    uneSur.suite.montrer = Montrer::uneSur;
    uneSur.suite.K = 7;
    const egypte::Resultat ru = egypte::chercher(unEn(5), tout, &uneSur);
    EXPECT_EQ(ru.solutions, 72);
    std::vector<std::int64_t> attendus = {1, 2, 3, 4};
    for (std::int64_t k = 5; k <= 72; k += 7) attendus.push_back(k);
    EXPECT_EQ(uneSur.numeros, attendus);
    for (std::size_t j = 0; j < attendus.size(); j++)
        EXPECT_EQ(uneSur.valeurs[j], complet.valeurs[static_cast<std::size_t>(attendus[j] - 1)]);
    EXPECT_EQ(ru.derniere, complet.valeurs.back());
}

TEST(Api, ChaqueRechercheSonArret)
{
    using Horloge = std::chrono::steady_clock;
    // Searches of days (1 as 9 distinct unit fractions, its estimate over
    // ten minutes, a scan of a million denominators), on one thread and on
    // two, each stopped by its own stop while 1 as 7 is counted beside it on
    // as many threads: 245765 expansions (OEIS A006585).
    for (int fils : {1, 2}) {
        for (int genre = 0; genre < 3; genre++) {
            std::atomic<bool> arret{false}, finie{false};
            bool interrompue = false;
            std::thread longue([&] {
                if (genre == 0) {
                    egypte::Demande d;
                    d.montrer = Montrer::compter;
                    d.fils = fils;
                    d.arret = &arret;
                    interrompue = egypte::chercher(unEn(9), d).fin == egypte::Fin::interrompue;
                } else if (genre == 1) {
                    egypte::DemandeEstimation d;
                    d.secondes = 600;
                    d.fils = fils;
                    d.arret = &arret;
                    interrompue = egypte::estimer(unEn(9), d).arretCtrlC;
                } else {
                    egypte::DemandeBalayage d;
                    d.q1 = 2;
                    d.q2 = 1000000;
                    d.fils = fils;
                    d.arret = &arret;
                    essai::Lignes lignes;
                    interrompue = egypte::balayer(egypte::Probleme{}, d, lignes).fin == egypte::Fin::interrompue;
                }
                finie = true;
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            egypte::Demande d;
            d.montrer = Montrer::compter;
            d.fils = fils;
            std::thread arreter([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                arret = true;
            });
            const egypte::Resultat r = egypte::chercher(unEn(7), d);
            arreter.join();
            EXPECT_TRUE(r.complet());
            EXPECT_EQ(r.longueur, 7);
            EXPECT_EQ(r.solutions, 245765);
            EXPECT_EQ(r.plusGrandXn, NTL::conv<NTL::ZZ>("10650056950806"));
            EXPECT_EQ(r.plusPetitX1, 2);
            EXPECT_FALSE(egypte::interruption());
            // Within seconds of its stop; past that, the process's flag ends
            // it, so that the fault fails the test instead of hanging it.
            const Horloge::time_point limite = Horloge::now() + std::chrono::seconds(10);
            while (!finie && Horloge::now() < limite) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_TRUE(finie) << "fils " << fils << ", genre " << genre;
            if (!finie) egypte::interrompre();
            longue.join();
            egypte::effacerInterruption();
            EXPECT_TRUE(interrompue) << "fils " << fils << ", genre " << genre;
        }
    }
}

TEST(Api, Refus)
{
    egypte::Probleme p;
    p.minimumX1 = 5;
    p.maximumXn = 5;
    try {
        egypte::chercher(p, egypte::Demande{});
        ADD_FAILURE() << "accepted";
    } catch (const egypte::Erreur& e) {
        EXPECT_EQ(e.genre(), egypte::Erreur::Genre::probleme);
        // The library names its fields; a front end, in its own words.
        EXPECT_EQ(std::string(e.what()), "minimumX1 doit etre inferieur a maximumXn");
        EXPECT_EQ(e.texte([](egypte::Terme t) { return t == egypte::Terme::minimumX1 ? "<min>" : "<max>"; }),
                  "<min> doit etre inferieur a <max>");
    }
    egypte::Demande d;
    d.montrer = Montrer::uneSur;
    d.K = 0;
    EXPECT_THROW(egypte::chercher(unEn(3), d), egypte::Erreur);
    egypte::DemandeEstimation e;
    e.longueur = 3;
    EXPECT_THROW(egypte::estimer(egypte::Probleme{}, e), egypte::Erreur);
}

}  // namespace
