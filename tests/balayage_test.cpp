// The scan: published records, a table worked by hand, random scans against
// the plain walk of each fraction, and the program's scan stopped and resumed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "interface/chercher.h"
#include "egypte/balayage.h"
#include "egypte/egypte.h"
#include "harnais.h"
#include "programme.h"

namespace {

using egypte::LigneBalayage;
using egypte::Probleme;
using egypte::RecordBalayage;

using Releve = essai::Lignes;

std::vector<std::vector<long>> records(const std::vector<RecordBalayage>& r)
{
    std::vector<std::vector<long>> v;
    for (const RecordBalayage& x : r) v.push_back({x.n, static_cast<long>(x.p), static_cast<long>(x.q)});
    return v;
}

TEST(Balayage, RecordsPublies)
{
    // The simplest fraction that needs n distinct unit fractions (OEIS
    // A097048 / A097049): 1/2, 2/3, 4/5, 8/11, 16/17, 77/79, 732/733.
    egypte::DemandeBalayage d;
    d.q1 = 2;
    d.q2 = 79;
    d.fils = 2;
    Releve r;
    const egypte::ResultatBalayage res = egypte::balayer(Probleme{}, d, r);
    EXPECT_TRUE(res.complet());
    EXPECT_EQ(records(r.records), (std::vector<std::vector<long>>{
                                      {1, 1, 2}, {2, 2, 3}, {3, 4, 5}, {4, 8, 11}, {5, 16, 17}, {6, 77, 79}}));
    EXPECT_EQ(records(res.records), records(r.records));
    EXPECT_EQ(r.lignes.size(), 78u);
    // 732/733 is (q - 1)/q for a prime q: the scan of those alone meets 7
    // there first.
    d.q2 = 733;
    d.moinsUn = d.premiers = true;
    Releve m;
    egypte::balayer(Probleme{}, d, m);
    ASSERT_FALSE(m.records.empty());
    EXPECT_EQ(records({m.records.back()}), (std::vector<std::vector<long>>{{7, 732, 733}}));
    EXPECT_EQ(m.lignes.back().q, 733);
    EXPECT_EQ(m.lignes.size(), 130u);  // the primes up to 733
}

TEST(Balayage, TableALaMain)
{
    // q = 7: 1/7; 2/7 = 1/4 + 1/28, 4/7 = 1/2 + 1/14; 3/7, 5/7, 6/7 have no
    // two terms (no divisor d of 49 with d = -7 mod p), and
    // 3/7 = 1/3 + 1/11 + 1/231, 5/7 = 1/2 + 1/5 + 1/70, 6/7 = 1/2 + 1/3 + 1/42.
    // q = 5: 2/5 = 1/3 + 1/15, 3/5 = 1/2 + 1/10, 4/5 = 1/2 + 1/4 + 1/20.
    const std::vector<std::vector<std::int64_t>> comptes = {{1}, {1, 1}, {1, 1}, {1, 2, 1}, {1, 1}, {1, 2, 3}};
    const std::vector<std::vector<std::int64_t>> premiers = {{1}, {1, 2}, {1, 3}, {1, 2, 4}, {1, 5}, {1, 2, 3}};
    egypte::DemandeBalayage d;
    d.q1 = 2;
    d.q2 = 7;
    Releve r;
    egypte::balayer(Probleme{}, d, r);
    ASSERT_EQ(r.lignes.size(), comptes.size());
    for (std::size_t k = 0; k < comptes.size(); k++) {
        EXPECT_EQ(r.lignes[k].comptes, comptes[k]) << k + 2;
        EXPECT_EQ(r.lignes[k].premiers, premiers[k]) << k + 2;
    }
    // Three odd terms, that length alone: an odd number of odd unit
    // fractions has an odd numerator, so 2/5 and 4/5 have none;
    // 1/5 = 1/9 + 1/15 + 1/45 and 3/5 = 1/3 + 1/5 + 1/15.
    Probleme impaires;
    impaires.parite = egypte::Parite::impaires;
    impaires.longueur = 3;
    d.q1 = d.q2 = 5;
    Releve i;
    egypte::balayer(impaires, d, i);
    ASSERT_EQ(i.lignes.size(), 1u);
    EXPECT_EQ(i.lignes[0].comptes, (std::vector<std::int64_t>{0, 0, 2}));
    EXPECT_EQ(i.lignes[0].premiers, (std::vector<std::int64_t>{0, 0, 1}));
    EXPECT_EQ(i.lignes[0].sans, 2);
}

// The minimal length by the plain walk, 0 when none, -1 when none up to
// the length limit.
int longueurDeReference(const Probleme& contraintes, long p, long q)
{
    Probleme pb = contraintes;
    pb.numerateur = p;
    pb.denominateur = q;
    egypte::Demande d;
    d.montrer = egypte::Montrer::premieres;
    d.fils = 1;
    egypte::Moteur m;
    m.simple = 1;
    const egypte::Resultat r = egypte::chercher(pb, d, nullptr, m);
    return r.fin == egypte::Fin::limite ? -1 : r.longueur;
}

TEST(Balayage, ChaqueLigneContreLaMarcheDeReference)
{
    std::mt19937 alea(20261207);
#ifdef EGYPTE_SOUS_SANITISEURS
    const int essais = 6;
#else
    const int essais = 30;
#endif
    for (int e = 0; e < essais; e++) {
        Probleme c;
        c.inconnues = static_cast<egypte::Inconnues>(1 + alea() % 2);
        c.parite = static_cast<egypte::Parite>(alea() % 3);
        if (alea() % 3 == 0) c.minimumX1 = 2 + alea() % 5;
        if (alea() % 2 == 0) c.maximumXn = 30 + alea() % 300;
        // Odd or even unknowns can need many terms: the plain walk is kept short.
        if (c.parite != egypte::Parite::indifferente || alea() % 2 == 0) c.longueurMax = 3 + alea() % 3;
        // A single length allowed: the scan must still search it.
        if (alea() % 4 == 0) {
            c.longueurMax = 0;
            c.longueur = 1 + alea() % 4;
        }
        egypte::DemandeBalayage d;
        d.q1 = 2 + alea() % 40;
        d.q2 = d.q1 + alea() % 12;
        // Every third without a constraint on the values, up to lengths of 6
        // (the scan's own search in increasing order).
        if (e % 3 == 0) {
            c = Probleme{};
            c.inconnues = static_cast<egypte::Inconnues>(1 + e % 2);
            // Bounds on n past 2^63 and 2^64, read as every front end reads
            // them: a last length beyond every length searched bounds none,
            // a first one there leaves every fraction without.
            if (e % 6 == 0) c.longueurMax = egypte::longueurLue(NTL::power2_ZZ(63 + e % 4) + e);
            if (e % 18 == 3) c.longueur = egypte::longueurLue(NTL::power2_ZZ(64) + 3);
            d.q1 = 60 + alea() % 30;
            d.q2 = d.q1 + alea() % 6;
        }
        d.moinsUn = alea() % 4 == 0;
        d.premiers = alea() % 4 == 0;
        d.fils = 1 + static_cast<int>(alea() % 3);
        Releve r;
        const egypte::ResultatBalayage res = egypte::balayer(c, d, r);
        ASSERT_TRUE(res.complet() || (res.fin == egypte::Fin::limite && res.totaux.limites > 0));
        std::vector<LigneBalayage> attendu;
        for (long q = d.q1; q <= d.q2; q++) {
            bool premier = true;
            for (long k = 2; k * k <= q; k++) premier = premier && q % k != 0;
            if (d.premiers && !premier) continue;
            LigneBalayage l;
            l.q = q;
            for (long p = d.moinsUn ? q - 1 : 1; p < q; p++) {
                if (std::gcd(p, q) != 1) continue;
                const int n = longueurDeReference(c, p, q);
                if (n <= 0) {
                    (n == 0 ? l.sans : l.limite)++;
                    continue;
                }
                if (l.comptes.size() < static_cast<std::size_t>(n)) {
                    l.comptes.resize(n, 0);
                    l.premiers.resize(n, 0);
                }
                if (l.comptes[n - 1]++ == 0) l.premiers[n - 1] = p;
            }
            attendu.push_back(l);
        }
        const auto champs = [](const LigneBalayage& l) { return std::tie(l.q, l.comptes, l.premiers, l.sans, l.limite); };
        ASSERT_EQ(r.lignes.size(), attendu.size()) << "essai " << e;
        for (std::size_t k = 0; k < attendu.size(); k++) EXPECT_EQ(champs(r.lignes[k]), champs(attendu[k])) << "essai " << e;
    }
}

TEST(Balayage, LeProgrammeArretePuisRepris)
{
    // A scan stopped by SIGTERM says where on standard error, and its journal
    // resumes it: the two outputs end to end are the uninterrupted one.
    const std::string journal = essai::temporaire("balayage.journal");
#ifdef EGYPTE_SOUS_SANITISEURS
    const std::string balayage = "2..150";
#else
    const std::string balayage = "2..500";
#endif
    const std::vector<std::string> args = {"--balayer", balayage, "--journal", journal};
    essai::Lancement arret;
    arret.limite = 0.3;
    arret.signal = "TERM";
    const essai::Execution a = essai::executer(args, arret);
    const essai::Execution b = essai::executer(args);
    const essai::Execution entier = essai::executer({"--balayer", balayage});
    ASSERT_EQ(entier.statut, 0);
    EXPECT_EQ(b.statut, 0) << b.erreurs;
    if (a.statut == 143) {
        EXPECT_NE(a.erreurs.find("balayage interrompu apres q = "), std::string::npos) << a.erreurs;
        // On standard output nothing can be cut back: a resume says so.
        EXPECT_NE(b.erreurs.find("a pu etre deja ecrite"), std::string::npos) << b.erreurs;
    } else {
        EXPECT_EQ(a.statut, 0);  // a slow machine's start may outlast the signal
    }
    EXPECT_EQ(a.sortie + b.sortie, entier.sortie);
    // Killed at random moments, on one thread then two in turn, into a file:
    // each resume cuts the file back to the last line recorded, so the file
    // ends as the uninterrupted output, no line lost or written twice. The
    // kills fall between a tenth and nine tenths of a whole run's time,
    // however fast this build is.
    const std::string fichier = essai::temporaire("balayage.txt");
    const std::vector<std::string> dansLeFichier = {"--balayer", balayage, "--journal", journal, "--sortie", fichier};
    essai::effacer({journal});
    const auto debut = std::chrono::steady_clock::now();
    ASSERT_EQ(essai::executer(dansLeFichier).statut, 0);
    const double duree = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    essai::Reprise tue;
    tue.arrets = 12;
    tue.de = duree * 0.1;
    tue.a = duree * 0.9;
    tue.enPlus = {{"--fils", "1"}, {"--fils", "2"}};
    tue.graine = 8122026;
    tue.fichiers = {journal, fichier};
    essai::arreterPuisReprendre(dansLeFichier, tue);
    EXPECT_EQ(essai::lire(fichier), entier.sortie);
    // A file size limit (the program ignores SIGXFSZ: no trap here) stops the
    // scan as it writes its file or its journal; the same command resumes it.
    // (The journal's lines are the longer: it meets the limit first.)
    for (const char* limite : {"ulimit -f 2;", "ulimit -f 6;"}) {
        SCOPED_TRACE(limite);
        essai::effacer({journal, fichier});
        essai::Lancement l;
        l.avant = limite;
        const essai::Execution coupe = essai::executer(dansLeFichier, l);
        EXPECT_EQ(coupe.statut, 74);
        EXPECT_NE(coupe.erreurs.find("(File too large)"), std::string::npos) << coupe.erreurs;
        EXPECT_EQ(essai::executer(dansLeFichier).statut, 0);
        EXPECT_EQ(essai::lire(fichier), entier.sortie);
    }
    const essai::Execution versPlein = essai::executer({"--balayer", "2..20", "--sortie", "/dev/full"});
    EXPECT_EQ(versPlein.statut, 74);
    essai::uneLigne(versPlein, "impossible d'ecrire '/dev/full' (No space left on device)");
    // A full disk is an error, not a scan done: no line is recorded as
    // written, and the journal resumes the whole scan.
    essai::effacer({journal, fichier});
    essai::Lancement plein;
    plein.vers = "/dev/full";
    EXPECT_EQ(essai::executer({"--balayer", "2..20", "--journal", journal}, plein).statut, 74);
    EXPECT_EQ(essai::lire(journal).find("\nB "), std::string::npos) << essai::lire(journal);
    EXPECT_EQ(essai::executer({"--balayer", "2..20", "--journal", journal}).sortie,
              essai::executer({"--balayer", "2..20"}).sortie);
    essai::effacer({journal});
}

TEST(Balayage, LaLimiteNEstPasAucune)
{
    // Fractions whose expansions are all longer than the length limit (M/q
    // needs about e^(M/q) terms): not known to have none, in every mode, in
    // text and JSON, and the scan ends as the single search does, with status 3.
    const std::string grand = "99999999999999999999999999999";
    const std::string seul = essai::executer({"--compter", "--json", grand + "/1"}).sortie;
    const std::string meilleur = essai::executer({"--meilleur", "--json", grand + "/1"}).sortie;
    ASSERT_NE(seul.find("\"raison\":\"limite_longueur\""), std::string::npos) << seul;
    const struct {
        std::vector<std::string> args;
        std::string sortie;
    } cas[] = {
        {{"--numerateur", grand, "--au-plus", "1"}, grand + "/2: limite\n" + grand + "/3: limite\n"},
        {{"--numerateur", grand, "--compter"}, "2 limite\n3 limite\n"},
        {{"--numerateur", grand, "--meilleur"}, grand + "/2: limite\n" + grand + "/3: limite\n"},
        {{"--min-n", "200000"}, "2: ; limite : 1\n3: ; limite : 2\n"},
        {{"--min-n", "200000", "--moins-un", "--json"}, "{\"limite\":1,\"longueur\":null,\"q\":2}\n{\"limite\":1,\"longueur\":null,\"q\":3}\n"},
        {{"--numerateur", grand, "--au-plus", "5", "--json", "--balayer", "1..1"},
         "{\"complet\":false,\"longueur\":null,\"p\":" + grand + ",\"q\":1,\"raison\":\"limite_longueur\"}\n"},
        {{"--numerateur", grand, "--compter", "--json", "--balayer", "1..1"}, seul},
        {{"--numerateur", grand, "--meilleur", "--json", "--balayer", "1..1"}, meilleur},
    };
    for (const auto& c : cas) {
        std::vector<std::string> args = c.args;
        if (std::find(args.begin(), args.end(), "--balayer") == args.end()) args.insert(args.end(), {"--balayer", "2..3"});
        const essai::Execution x = essai::executer(args);
        EXPECT_EQ(x.sortie, c.sortie) << c.args[0] << ' ' << c.args[1];
        EXPECT_EQ(x.statut, 3) << c.args[0] << ' ' << c.args[1];
        EXPECT_NE(x.erreurs.find("balayage incomplet"), std::string::npos) << x.erreurs;
    }
    // The summary of a scan of at most K terms: the fast way never takes a
    // numerator past 64 bits, so both went to the exact search.
    const essai::Execution resume = essai::executer({"--balayer", "2..3", "--numerateur", grand, "--au-plus", "1"});
    EXPECT_NE(resume.erreurs.find("2 fractions verifiees, 2 au-dela, 2 laissees a la recherche exacte"), std::string::npos)
        << resume.erreurs;
}

TEST(Balayage, UneRepriseNeChangeQueCeQuiManque)
{
    // A finished scan run again from its journal writes nothing and changes
    // nothing (the file's last line is checked, not the records before it);
    // the same files asked in the other format are refused untouched.
    const std::string journal = essai::temporaire("format.journal"), fichier = essai::temporaire("format.txt");
    for (const bool json : {false, true}) {
        essai::effacer({journal, fichier});
        std::vector<std::string> args = {"--balayer", "2..3", "--journal", journal, "--sortie", fichier};
        if (json) args.push_back("--json");
        ASSERT_EQ(essai::executer(args).statut, 0);
        const std::string texte = essai::lire(fichier), notes = essai::lire(journal);
        ASSERT_NE(texte.find(json ? "\"record\":2}" : "record 2 : 2/3"), std::string::npos) << texte;
        const essai::Execution encore = essai::executer(args);
        EXPECT_EQ(encore.statut, 0) << encore.erreurs;
        EXPECT_EQ(essai::lire(fichier), texte);
        if (json) args.pop_back();
        else args.push_back("--json");
        const essai::Execution autre = essai::executer(args);
        EXPECT_EQ(autre.statut, 2);
        EXPECT_NE(autre.erreurs.find("celui d'un autre calcul"), std::string::npos) << autre.erreurs;
        EXPECT_EQ(essai::lire(fichier), texte);
        EXPECT_EQ(essai::lire(journal), notes);
    }
    essai::effacer({journal, fichier});
}

}  // namespace
