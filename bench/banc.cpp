// Benchmark: runs whole computations of the program, as a user would type
// them, with the paging answer that only counts, and the display sent
// nowhere. Prints for each case the number of expansions and the wall time.
//
//   egypte_banc            every case
//   egypte_banc NAME...    the named cases only
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "search/etat.h"
#include "search/recherche.h"

namespace {

struct Cas {
    const char* nom;
    const char* description;
    std::string saisie;  // the answers from the prompt for P onwards
    int budget = 0;      // seconds after which the search is interrupted; 0 = none
};

const std::string COMPTER = " -1000000000";

std::vector<Cas> lesCas()
{
    const std::string p40 = "700000000000000000000000000000000000001";
    const std::string q40 = "1000000000000000000000000000000000000003";
    return {
        {"un7", "1 en 7 fractions distinctes", "1 1 1 2 0 2 0 7 8" + COMPTER},
        {"un7rep", "1 en 7 fractions, repetitions permises", "1 1 1 1 0 0 0 7 8" + COMPTER},
        {"5/121", "5/121 en longueur 4, Type 2", "5 121 1 2 0 0 0 4 5" + COMPTER},
        // The plain walk does not finish this one: it is stopped after a minute.
        {"40chiffres", "P/Q a 40 chiffres en longueur 6, Type 2", p40 + " " + q40 + " 1 2 0 0 0 6 7" + COMPTER, 60},
    };
}

// Discards everything written to it.
class Neant : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize k) override { return k; }
};

}  // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::printf("%-12s %-45s %12s %10s\n", "cas", "description", "solutions", "secondes");
    for (const Cas& c : lesCas()) {
        bool choisi = argc == 1;
        for (int k = 1; k < argc; k++) choisi = choisi || std::strcmp(argv[k], c.nom) == 0;
        if (!choisi) continue;
        std::istringstream entree(c.saisie);
        Neant neant;
        std::streambuf* in = std::cin.rdbuf(entree.rdbuf());
        std::streambuf* out = std::cout.rdbuf(&neant);
        std::mutex verrou;
        std::condition_variable fini;
        bool termine = false;
        std::thread minuteur;
        if (c.budget > 0) {
            // Stops the search the way Ctrl-C does, once the budget is spent.
            minuteur = std::thread([&] {
                std::unique_lock<std::mutex> v(verrou);
                if (!fini.wait_for(v, std::chrono::seconds(c.budget), [&] { return termine; }))
                    egypte::interrompu = true;
            });
        }
        const auto debut = std::chrono::steady_clock::now();
        egypte::calcul();
        const auto fin = std::chrono::steady_clock::now();
        const bool coupe = egypte::interrompu;
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
        const double s = std::chrono::duration<double>(fin - debut).count();
        std::printf("%-12s %-45s %12lld %10.3f%s\n", c.nom, c.description, static_cast<long long>(egypte::K1), s,
                    coupe ? "  (interrompu, non termine)" : "");
        std::fflush(stdout);
    }
    return 0;
}
