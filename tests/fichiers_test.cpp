// The files around a long count, with the faults real machines have: a write
// that fails is an error the same command resumes from; a resume checks what
// it resumes from; a file that is not the program's is never changed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "programme.h"
#include "commun/journal.h"

namespace {

using essai::executer;
using essai::Execution;
using essai::lire;
using essai::temporaire;
using Args = std::vector<std::string>;

void ecrireFichier(const std::string& chemin, const std::string& texte)
{
    std::ofstream(chemin, std::ios::binary | std::ios::trunc) << texte;
}

bool existe(const std::string& chemin)
{
    struct stat st {};
    return ::stat(chemin.c_str(), &st) == 0;
}

Args avec(Args a, const Args& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Fichiers, EcrituresQuiEchouentPuisReprise)
{
    // A full device, as the listing and as standard output.
    const Execution plein = executer({"--sortie", "/dev/full", "4/5"});
    EXPECT_EQ(plein.statut, 74);
    essai::uneLigne(plein, "impossible d'ecrire '/dev/full' (No space left on device)");
    EXPECT_NE(plein.sortie.find("Calcul complet : non"), std::string::npos) << plein.sortie;
    // The count of a run stopped by a failed write is the expansions handed
    // over up to the failure, the same on one thread and two, as a listing
    // of every way of showing.
    for (const char* montrer : {"--premieres", "--une-sur"}) {
        std::string comptes[2];
        for (int fils = 1; fils <= 2; fils++) {
            const Execution e = executer({"--json", "--fils", std::to_string(fils), montrer,
                                          montrer == std::string("--une-sur") ? "7" : "100000000", "--longueur", "7",
                                          "--sortie", "/dev/full", "1/1"});
            EXPECT_EQ(e.statut, 74);
            const std::size_t c = e.sortie.find("\"solutions\":");
            ASSERT_NE(c, std::string::npos) << e.sortie;
            comptes[fils - 1] = e.sortie.substr(c, e.sortie.find_first_of(",}", c) - c);
        }
        EXPECT_EQ(comptes[0], comptes[1]) << montrer;
    }
    essai::Lancement versPlein;
    versPlein.vers = "/dev/full";
    for (const Args& args : {Args{"--json", "--compter", "4/5"}, Args{"4/5"}, Args{"--aide"},
                             Args{"--estimer", "--duree", "1", "--longueur", "5", "3/4"}}) {
        SCOPED_TRACE(args[0]);
        const Execution rapport = executer(args, versPlein);
        EXPECT_EQ(rapport.statut, 74);
        essai::uneLigne(rapport, "impossible d'ecrire la sortie standard (No space left on device)");
    }

    // A file size limit hit in the middle of a listing (the listing fails),
    // then of a count (only the journal grows): the same command, once the
    // limit is gone, ends with the listing and report of a run never stopped.
    const Args probleme = {"--json", "--fils", "2", "5/6", "--longueur", "7"};
    // The program ignores SIGXFSZ itself: the limit fails a write, with or
    // without the shell's own trap.
    const struct { Args montrer; int blocs; const char* fichier; const char* piege; } cas[] = {
        {{"--une-sur", "50"}, 400, "liste", "trap '' XFSZ;"}, {{"--compter"}, 6, "journal", ""}};
    for (const auto& k : cas) {
        SCOPED_TRACE(k.fichier);
        const std::string reference = temporaire("ref.txt"), liste = temporaire("liste.txt"),
                          journal = temporaire("journal");
        essai::effacer({reference, liste, journal});
        const Execution entier = executer(avec(avec(probleme, k.montrer), {"--sortie", reference}));
        ASSERT_EQ(entier.statut, 0) << entier.erreurs;
        const Args commande = avec(avec(probleme, k.montrer), {"--journal", journal, "--sortie", liste});
        essai::Lancement limite;
        limite.avant = k.piege + std::string(" ulimit -f ") + std::to_string(k.blocs) + ";";
        const Execution coupe = executer(commande, limite);
        EXPECT_EQ(coupe.statut, 74) << coupe.sortie;
        essai::uneLigne(coupe, std::string(k.fichier == std::string("liste") ? "impossible d'ecrire '" : "impossible d'ecrire le journal '") );
        EXPECT_NE(coupe.erreurs.find("(File too large)"), std::string::npos) << coupe.erreurs;
        EXPECT_NE(coupe.sortie.find("\"complet\":false"), std::string::npos) << coupe.sortie;
        EXPECT_NE(coupe.sortie.find("\"raison\":\"erreur_ecriture\""), std::string::npos) << coupe.sortie;
        const Execution repris = executer(commande);
        EXPECT_EQ(repris.statut, 0) << repris.erreurs;
        EXPECT_EQ(repris.sortie, entier.sortie);
        EXPECT_EQ(lire(liste), lire(reference));
    }
}

TEST(Fichiers, UneListeRepriseDeuxFois)
{
    // One in every 10^9: only the first expansion is written, so the second
    // run records its units without writing a line, and the third resumes
    // from what the second recorded of the first's listing.
#ifdef EGYPTE_SOUS_SANITISEURS
    const Args probleme = {"--json", "--fils", "1", "--une-sur", "1000000000", "5/6", "--longueur", "7"};
#else
    const Args probleme = {"--json", "--fils", "1", "--une-sur", "1000000000", "3/4", "--longueur", "7"};
#endif
    const std::string J = temporaire("deux-fois.journal"), L = temporaire("deux-fois.txt"),
                      R = temporaire("deux-fois-ref.txt");
    essai::effacer({R});
    const Execution entier = executer(avec(probleme, {"--sortie", R}));
    ASSERT_EQ(entier.statut, 0);
    essai::Reprise r;
    r.signaux = {"TERM"};
    r.arrets = 2;
    r.de = r.a = 0.4;
    r.fichiers = {J, L};
    EXPECT_EQ(essai::arreterPuisReprendre(avec(probleme, {"--journal", J, "--sortie", L}), r).fin.sortie, entier.sortie);
    EXPECT_EQ(lire(L), lire(R));
    essai::effacer({J, L, R});
}

TEST(Fichiers, ReprisesRefuseesSansRienChanger)
{
    // A finished journal and its listing; each case starts from a copy, makes
    // one mistake, and must be refused (status 2, one line) with every file
    // byte for byte as it was.
    const std::string J = temporaire("r.journal"), S = temporaire("r.txt"), autre = temporaire("autre.txt"),
                      precieux = temporaire("precieux.txt"), dossier = temporaire("dossier"),
                      fifo = temporaire("fifo"), nouveau = temporaire("nouveau.journal"),
                      bizarre = temporaire("nom\nsur deux lignes");
    const Args probleme = {"--fils", "2", "5/6", "--longueur", "6"};
    essai::effacer({J, S});
    ASSERT_EQ(executer(avec(probleme, {"--journal", J, "--sortie", S})).statut, 0);
    const std::string journal = lire(J), listing = lire(S);
    ASSERT_GT(listing.size(), 1000u);
    const std::size_t derniere = listing.rfind('\n', listing.size() - 2) + 1;
    auto modifie = [](std::string t, std::size_t p) {
        t[p] = t[p] == '1' ? '2' : '1';
        return t;
    };
    // The heading of a journal of the same problem under the old format.
    const std::string ancien = "egypte-journal 1 decoupage 1 5/6";
    const std::string ancienJournal = ancien + " " + egypte::sommeControle(ancien) + "\n";
    const std::size_t milieu = journal.find('\n', journal.size() / 2) + 3;

    const struct {
        const char* nom;
        std::function<void()> preparer;
        Args args;
        std::string fragment;
    } cas[] = {
        {"liste absente", [&] { std::remove(S.c_str()); }, {"--journal", J, "--sortie", S}, "introuvable"},
        {"liste plus courte", [&] { ecrireFichier(S, listing.substr(0, listing.size() / 2)); },
         {"--journal", J, "--sortie", S}, "plus courte"},
        {"derniere ligne notee alteree", [&] { ecrireFichier(S, modifie(listing, derniere)); },
         {"--journal", J, "--sortie", S}, "n'est pas celle que decrit le journal"},
        {"autre chose apres la liste", [&] { ecrireFichier(S, listing + "precieux\n"); },
         {"--journal", J, "--sortie", S}, "autre chose que des developpements"},
        {"liste sous le nom d'un autre fichier", [&] { ecrireFichier(autre, "precieux\n"); },
         {"--journal", J, "--sortie", autre}, "plus courte"},
        {"journal qui est une liste", [] {}, {"--journal", S, "--sortie", autre}, "n'est pas un journal"},
        {"nom sur deux lignes", [&] { ecrireFichier(bizarre, "precieux\n"); }, {"--journal", bizarre},
         "sur deux lignes' n'est pas"},
        {"entete abimee", [&] { ecrireFichier(J, modifie(journal, 30)); }, {"--journal", J, "--sortie", S},
         "entete du journal"},
        {"entete dechiree", [&] { ecrireFichier(J, journal.substr(0, 20)); }, {"--journal", J, "--sortie", S},
         "entete du journal"},
        {"ligne du milieu abimee", [&] { ecrireFichier(J, modifie(journal, milieu)); },
         {"--journal", J, "--sortie", S}, "endommage"},
        {"journal d'une autre version", [&] { ecrireFichier(J, ancienJournal); }, {"--journal", J},
         "autre version"},
        {"journal FIFO", [&] { ::mkfifo(fifo.c_str(), 0600); }, {"--journal", fifo}, "n'est pas un fichier ordinaire"},
        {"journal dossier", [&] { ::mkdir(dossier.c_str(), 0700); }, {"--journal", dossier},
         "impossible d'ouvrir le journal"},
        {"le meme sous deux noms", [] {}, {"--journal", J, "--sortie", ::testing::TempDir() + "./" + J.substr(J.rfind('/') + 1)},
         "le meme fichier"},
        {"liste existante sans journal", [&] { ecrireFichier(precieux, "precieux\n"); }, {"--sortie", precieux},
         "n'est jamais ecrasee"},
        {"liste existante, nouveau journal", [&] { ecrireFichier(precieux, "precieux\n"); },
         {"--journal", nouveau, "--sortie", precieux}, "n'est jamais ecrasee"},
        {"liste peripherique avec journal", [] {}, {"--journal", J, "--sortie", "/dev/null"}, "fichier ordinaire"},
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.nom);
        ecrireFichier(J, journal);
        ecrireFichier(S, listing);
        essai::effacer({autre, precieux, nouveau, bizarre});
        k.preparer();
        // Every file that exists, with its content (a FIFO's is not read).
        const auto fichiers = [&] {
            std::map<std::string, std::string> m;
            for (const std::string& f : {J, S, autre, precieux, bizarre, nouveau})
                if (existe(f)) m[f] = lire(f);
            return m;
        };
        const auto avant = fichiers();
        essai::Lancement l;
        l.limite = 30;  // a FIFO must not hold the run
        const Execution e = executer(avec(probleme, k.args), l);
        EXPECT_EQ(e.statut, 2);
        EXPECT_EQ(e.sortie, "");
        essai::uneLigne(e, k.fragment);
        EXPECT_TRUE(fichiers() == avant);
    }
    essai::effacer({J, S, autre, precieux, fifo, bizarre, nouveau});
    ::rmdir(dossier.c_str());
}

TEST(Fichiers, LaSortieStandardVersLeJournalEstRefusee)
{
    // Standard output appended to the journal or to the listing (a shell's
    // `>>`, as a resume is often typed): refused before either is touched,
    // for a search and for a scan.
    const std::string J = temporaire("v.journal"), S = temporaire("v.txt"), nouveau = temporaire("v-nouveau.journal");
    const Args probleme = {"--fils", "2", "5/6", "--longueur", "6"};
    essai::effacer({J, S, nouveau});
    ASSERT_EQ(executer(avec(probleme, {"--journal", J, "--sortie", S})).statut, 0);
    const struct { Args args; std::string vers; } versUnFichier[] = {
        {avec(probleme, {"--journal", J, "--sortie", S}), J},
        {avec(probleme, {"--journal", J, "--sortie", S}), S},
        {{"--balayer", "2..20", "--journal", nouveau}, nouveau},
    };
    for (const auto& k : versUnFichier) {
        SCOPED_TRACE(k.vers);
        const std::string avantJ = lire(J), avantS = lire(S);
        essai::Lancement l;
        l.vers = k.vers;
        l.ajouter = true;
        const Execution e = executer(k.args, l);
        EXPECT_EQ(e.statut, 2);
        essai::uneLigne(e, "la sortie standard est redirigee vers");
        EXPECT_TRUE(lire(J) == avantJ && lire(S) == avantS);
    }
    EXPECT_EQ(lire(nouveau), "");
    essai::effacer({J, S, nouveau});
}

TEST(Fichiers, UnSecondCalculSurLeMemeJournalEstRefuse)
{
    // 1 as 8 distinct unit fractions: minutes of counting, stopped by SIGTERM
    // after 5 s, while a second run on its journal is refused at once.
    const std::string J = temporaire("deux.journal");
    essai::effacer({J});
    const Args args = {"--compter", "--fils", "1", "--journal", J, "1/1", "--longueur", "8"};
    std::thread premier([&] {
        essai::Lancement l;
        l.vers = "/dev/null";
        l.limite = 5;
        l.signal = "TERM";
        EXPECT_EQ(executer(args, l).statut, 143);
    });
    // Until the first run has written its journal's first unit.
    const auto echeance = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (lire(J).find("\nU ") == std::string::npos && std::chrono::steady_clock::now() < echeance)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const Execution second = executer(args);
    EXPECT_EQ(second.statut, 2);
    essai::uneLigne(second, "deja utilise par un autre calcul en cours");
    premier.join();
    essai::effacer({J});
}

}  // namespace
