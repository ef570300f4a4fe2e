// Benchmark: runs whole computations of the program, as a user would type
// them, with the paging answer that only counts and the display sent
// nowhere; each case runs through the plain walk, through the fast search on
// one thread and through the fast search on every thread, and the lines give
// the counts, the wall times and their ratios, with the time at which each
// showed its first expansion. A case whose ratio has a goal runs one thread,
// every thread, every thread, one thread, and gives the ratio of the sums.
//
//   egypte_banc                 every default case
//   egypte_banc NAME...         the named cases only (un8, un8rep and
//                               27538/27539-fin, which take minutes or more,
//                               run only when named)
//   egypte_banc --rapide NAME.. the fast search alone (one thread and every thread)
//   egypte_banc --fils K ...    K threads instead of every core
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "dialogue/dialogue.h"
#include "egypte/egypte.h"

namespace {

using Horloge = std::chrono::steady_clock;

struct Cas {
    const char* nom;
    const char* description;
    std::string saisie;   // the answers from the prompt for P onwards
    int budgetSimple;     // seconds after which the plain walk is interrupted; 0 = none; -1 = not run
    int budgetRapide;     // the same for the fast search
    bool parDefaut;       // part of the run without names
    const char* pourquoi; // why the plain walk is capped or not run
    double butRapport = 0;  // the most every thread may take against one, 0 = none
    double butSecondes = 0; // the most the fast search may take on every thread, 0 = none
};

const std::string COMPTER = " -1000000000";

std::vector<Cas> lesCas()
{
    const std::string p40 = "700000000000000000000000000000000000001";
    const std::string q40 = "1000000000000000000000000000000000000003";
    return {
        {"un7", "1 en 7 fractions distinctes", "1 1 1 2 0 0 0 7 8" + COMPTER, 0, 0, true, ""},
        {"un7rep", "1 en 7 fractions, repetitions permises", "1 1 1 1 0 0 0 7 8" + COMPTER, 0, 0, true, ""},
        {"732/733", "732/733 sans contrainte (longueur 7)", "732 733 0" + COMPTER, 0, 0, true, ""},
        {"5/121", "5/121 en longueur 4, Type 2", "5 121 1 2 0 0 0 4 5" + COMPTER, 0, 0, true, ""},
        {"27538/27539", "27538/27539 sans contrainte (longueur 8)", "27538 27539 0" + COMPTER, 60, 60, true,
         "les deux arretees apres 60 s ; le compte complet : egypte_banc 27538/27539-fin"},
        {"40chiffres", "P/Q a 40 chiffres en longueur 6, Type 2", p40 + " " + q40 + " 1 2 0 0 0 6 7" + COMPTER, 60,
         60, true, "aucune des deux ne finit : arretees apres 60 s"},
        {"27538/27539-fin", "27538/27539 compte jusqu'au bout", "27538 27539 0" + COMPTER, -1, 0, false,
         "la marche simple ne finit pas : non lancee", 0.55},
        {"3/4-7", "3/4 en longueur 7, Type 2", "3 4 1 2 0 0 0 7 8" + COMPTER, -1, 0, false,
         "la marche simple demanderait des minutes : non lancee", 0.58},
        {"un8", "1 en 8 fractions distinctes", "1 1 1 2 0 0 0 8 9" + COMPTER, -1, 0, false,
         "la marche simple demanderait des heures : non lancee", 0, 60},
        {"un8rep", "1 en 8 fractions, repetitions permises", "1 1 1 1 0 0 0 8 9" + COMPTER, -1, 0, false,
         "la marche simple demanderait des heures : non lancee", 0, 60},
    };
}

// Discards everything written to it, noting when the first expansion is
// written (the heading of the table comes with it).
class Neant : public std::streambuf {
public:
    Horloge::time_point premier{};
    bool vu = false;

protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char* s, std::streamsize k) override
    {
        if (!vu && std::string(s, static_cast<std::size_t>(k)).find("Tableau des solutions") != std::string::npos) {
            vu = true;
            premier = Horloge::now();
        }
        return k;
    }
};

struct Mesure {
    long long solutions = 0;
    double secondes = 0;
    double premier = -1;  // seconds to the first expansion; -1 = none
    bool coupe = false;   // interrupted by the budget
};

Mesure lancer(const Cas& c, int simple, int fils, int budget)
{
    const egypte::Chercheur chercheur = [simple, fils](const egypte::Probleme& p, egypte::Demande d,
                                                        egypte::Recepteur* r) {
        d.marcheDeReference = simple == 1;
        d.fils = fils;
        return egypte::chercher(p, d, r);
    };
    std::istringstream entree(c.saisie);
    Neant neant;
    std::streambuf* in = std::cin.rdbuf(entree.rdbuf());
    std::streambuf* out = std::cout.rdbuf(&neant);
    std::mutex verrou;
    std::condition_variable fini;
    bool termine = false;
    std::thread minuteur;
    if (budget > 0) {
        // Stops the search the way Ctrl-C does, once the budget is spent.
        minuteur = std::thread([&] {
            std::unique_lock<std::mutex> v(verrou);
            if (!fini.wait_for(v, std::chrono::seconds(budget), [&] { return termine; }))
                egypte::interrompre();
        });
    }
    const auto debut = Horloge::now();
    Mesure m;
    m.solutions = static_cast<long long>(egypte::calcul(chercheur));
    const auto fin = Horloge::now();
    m.coupe = egypte::interruption();
    if (minuteur.joinable()) {
        {
            std::lock_guard<std::mutex> v(verrou);
            termine = true;
        }
        fini.notify_all();
        minuteur.join();
    }
    std::cin.rdbuf(in);
    std::cout.rdbuf(out);
    m.secondes = std::chrono::duration<double>(fin - debut).count();
    if (neant.vu) m.premier = std::chrono::duration<double>(neant.premier - debut).count();
    return m;
}

void decrire(const char* qui, const Mesure& m)
{
    std::printf("  %-10s %12lld solutions  %10.3f s", qui, m.solutions, m.secondes);
    if (m.premier >= 0) std::printf("  (premiere apres %.3f s)", m.premier);
    if (m.coupe) std::printf("  interrompue, non terminee");
    std::printf("\n");
}

// a and b together: their times added, cut if either was, and a count that
// no longer matches the other run's shows as -1.
void cumuler(Mesure& a, const Mesure& b)
{
    a.secondes += b.secondes;
    a.coupe = a.coupe || b.coupe;
    if (a.solutions != b.solutions) a.solutions = -1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    bool rapideSeul = false;
    std::vector<std::string> noms;
    int fils = egypte::nombreDeCoeurs();
    for (int k = 1; k < argc; k++) {
        if (std::strcmp(argv[k], "--rapide") == 0) rapideSeul = true;
        else if (std::strcmp(argv[k], "--fils") == 0 && k + 1 < argc) fils = std::atoi(argv[++k]);
        else noms.emplace_back(argv[k]);
    }
    if (fils < 1) fils = 1;
    char nomFils[32];
    std::snprintf(nomFils, sizeof nomFils, "rapide x%d", fils);
    for (const Cas& c : lesCas()) {
        bool choisi = noms.empty() && c.parDefaut;
        for (const std::string& nom : noms) choisi = choisi || nom == c.nom;
        if (!choisi) continue;
        std::printf("%s : %s\n", c.nom, c.description);
        std::fflush(stdout);
        Mesure simple;
        const bool avecSimple = !rapideSeul && c.budgetSimple >= 0;
        if (avecSimple) {
            simple = lancer(c, 1, 1, c.budgetSimple);
            decrire("simple", simple);
            std::fflush(stdout);
        }
        Mesure rapide = lancer(c, 0, 1, c.budgetRapide);
        decrire("rapide x1", rapide);
        std::fflush(stdout);
        Mesure tous = lancer(c, 0, fils, c.budgetRapide);
        decrire(nomFils, tous);
        std::fflush(stdout);
        // The machine's speed drifts from one minute to the next, by a tenth
        // or more: where the ratio has a goal, both again in the reverse order,
        // and the ratio of the sums, which a steady drift leaves alone.
        const bool deuxTours = c.butRapport > 0 && !rapide.coupe && !tous.coupe;
        if (deuxTours) {
            const Mesure tous2 = lancer(c, 0, fils, c.budgetRapide);
            decrire(nomFils, tous2);
            std::fflush(stdout);
            const Mesure rapide2 = lancer(c, 0, 1, c.budgetRapide);
            decrire("rapide x1", rapide2);
            cumuler(tous, tous2);
            cumuler(rapide, rapide2);
        }
        if (!rapide.coupe && !tous.coupe) {
            const double rapport = tous.secondes / rapide.secondes;
            std::printf("  %d fils / 1 fil%s : %.3f", fils, deuxTours ? " (les deux tours)" : "", rapport);
            if (c.butRapport > 0)
                std::printf("  (but : au plus %.2f, %s)", c.butRapport, rapport <= c.butRapport ? "atteint" : "manque");
            if (tous.solutions != rapide.solutions || tous.solutions < 0) std::printf("  (COMPTES DIFFERENTS)");
            std::printf("\n");
        }
        if (c.butSecondes > 0 && !tous.coupe)
            std::printf("  %s : %.1f s (but : moins de %.0f s, %s)\n", nomFils, tous.secondes, c.butSecondes,
                        tous.secondes < c.butSecondes ? "atteint" : "manque");
        if (avecSimple && !simple.coupe && !rapide.coupe) {
            std::printf("  rapport simple / rapide : %.0f", simple.secondes / rapide.secondes);
            if (simple.solutions != rapide.solutions) std::printf("  (COMPTES DIFFERENTS)");
            std::printf("\n");
        } else if (avecSimple && simple.coupe && !rapide.coupe) {
            std::printf("  rapport simple / rapide : au moins %.0f\n", simple.secondes / rapide.secondes);
        }
        if (*c.pourquoi) std::printf("  %s\n", c.pourquoi);
        std::fflush(stdout);
    }
    return 0;
}
