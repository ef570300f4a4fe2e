// The journal of a count: killed at any moment and resumed to the same
// result, its lines on the disk as soon as noted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "commun/journal.h"
#include "programme.h"

namespace {

using essai::executer;
using essai::Execution;
using essai::lire;
using essai::temporaire;

TEST(Journal, UnCompteTueRepartJusquAuMemeResultat)
{
    // 5/6 in 7 distinct unit fractions: 3475754 expansions, about a second of
    // search on one thread, one in every 1000 listed.
    const std::vector<std::string> compte = {"--json", "--fils", "2", "5/6", "--longueur", "7", "--une-sur", "1000"};
    auto avec = [&](std::vector<std::string> b) {
        b.insert(b.begin(), compte.begin(), compte.end());
        return b;
    };
    const std::string reference = temporaire("reference.txt"), journal = temporaire("journal"),
                      liste = temporaire("liste.txt");
    essai::effacer({reference});
    const Execution entier = executer(avec({"--sortie", reference}));
    ASSERT_EQ(entier.statut, 0) << entier.erreurs;
    ASSERT_NE(entier.sortie.find("\"solutions\":3475754"), std::string::npos) << entier.sortie;

    const std::vector<std::string> repris = avec({"--journal", journal, "--sortie", liste});
    // Killed, or stopped by a job scheduler (SIGTERM) or a closed terminal
    // (SIGHUP), which end the run with what was found written in whole lines.
    essai::Reprise r;
    r.signaux = {"KILL", "TERM", "HUP", "KILL"};
    r.arrets = 4;
    r.a = 0.45;
    r.graine = ::getpid();
    r.fichiers = {journal, liste};
    const essai::Repris x = essai::arreterPuisReprendre(repris, r);
    for (const Execution& e : x.arretes) {
        if (e.statut != 137 && !(e.sortie.empty() && e.erreurs.empty())) {
            EXPECT_NE(e.sortie.find("\"complet\":false"), std::string::npos) << e.sortie;
        }
    }
    EXPECT_EQ(x.fin.sortie, entier.sortie);
    EXPECT_EQ(lire(liste), lire(reference));

    // A last line torn by a stop: recognised, its unit done again.
    std::ofstream(journal, std::ios::app) << "U 7 99";
    const Execution dechire = executer(repris);
    EXPECT_EQ(dechire.statut, 0) << dechire.erreurs;
    EXPECT_EQ(dechire.sortie, entier.sortie);
    EXPECT_EQ(lire(liste), lire(reference));

}

TEST(Journal, ChaqueLigneEstSurLeDisqueDesQuElleEstNotee)
{
    // A count may be killed at any moment: what the journal notes is in the
    // file while the writer still holds it (no buffer of its own to lose),
    // and a run after it reads every record back. (The lock against a second
    // run is Fichiers.UnSecondCalculSurLeMemeJournalEstRefuse.)
    const std::string chemin = temporaire("notes");
    essai::effacer({chemin});
    const std::string entete = "egypte-journal 5/6 longueur 7";
    {
        egypte::Journal j;
        j.ouvrir(chemin, entete);
        ASSERT_TRUE(j.preparer().reussie());
        ASSERT_TRUE(j.noterVide(5).reussie());
        ASSERT_TRUE(j.noterProfondeur(7, 3).reussie());
        egypte::Journal::Unite u;
        u.numero = 4, u.bilan.nombre = 12, u.bilan.plusGrandXn = 99, u.bilan.plusPetitX1 = 7, u.bilan.plusPetitXn = 50;
        u.octets = 321, u.fin = "0123456789abcdef";
        ASSERT_TRUE(j.noterUnite(7, u).reussie());
        EXPECT_NE(lire(chemin).find("U 7 4 12 99 7 50 321 0123456789abcdef "), std::string::npos) << lire(chemin);
    }
    egypte::Journal relu;
    relu.ouvrir(chemin, entete);
    EXPECT_TRUE(relu.longueurVide(5));
    EXPECT_EQ(relu.profondeur(7), 3);
    EXPECT_EQ(relu.derniere(7).numero, 4);
    EXPECT_EQ(relu.derniere(7).octets, 321);
    EXPECT_EQ(relu.derniere().fin, "0123456789abcdef");
}

}  // namespace
