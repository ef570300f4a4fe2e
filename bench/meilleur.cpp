// Benchmark of the best expansion, on one thread (the public API alone):
//
//   egypte_meilleur [--approche A,...] P/Q...        each fraction, each way
//   egypte_meilleur [--approche A,...] --jusqua B [--depuis B0] [--tous]
//        every a/b with 0 < a < b, B0 <= b < B (only those in lowest terms,
//        the others being the same problems, unless --tous), each way on the
//        whole range in turn, with its seconds, its searches and the slowest
//        fraction
//
// The ways are resserrer, dichotomie and montee (every one by default); they
// must give the same expansions, which the run checks.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "egypte/meilleur.h"

namespace {

using Horloge = std::chrono::steady_clock;

egypte::Approche lireApproche(const std::string& mot)
{
    for (auto a : {egypte::Approche::resserrer, egypte::Approche::dichotomie, egypte::Approche::montee})
        if (mot == egypte::nomApproche(a)) return a;
    std::cerr << "approche inconnue : " << mot << "\n";
    std::exit(2);
}

std::string texte(const std::vector<NTL::ZZ>& x)
{
    std::ostringstream s;
    for (std::size_t k = 0; k < x.size(); k++) s << (k ? " " : "") << x[k];
    return s.str();
}

struct Mesure {
    double secondes = 0;
    long recherches = 0;
    double pire = 0;
    std::string pireFraction;
};

}  // namespace

int main(int argc, char** argv)
{
    std::vector<egypte::Approche> approches = {egypte::Approche::resserrer, egypte::Approche::dichotomie,
                                               egypte::Approche::montee};
    std::vector<std::string> fractions;
    long jusqua = 0, depuis = 2;
    bool tous = false;
    for (int k = 1; k < argc; k++) {
        const std::string a = argv[k];
        if (a == "--approche" && k + 1 < argc) {
            approches.clear();
            std::stringstream liste(argv[++k]);
            for (std::string mot; std::getline(liste, mot, ',');) approches.push_back(lireApproche(mot));
        } else if (a == "--jusqua" && k + 1 < argc) {
            jusqua = std::atol(argv[++k]);
        } else if (a == "--depuis" && k + 1 < argc) {
            depuis = std::atol(argv[++k]);
        } else if (a == "--tous") {
            tous = true;
        } else {
            fractions.push_back(a);
        }
    }
    egypte::Demande d;
    d.fils = 1;

    std::vector<std::vector<std::string>> resultats(approches.size());
    bool memes = true;
    for (const auto& f : fractions) {
        egypte::Probleme p;
        const auto barre = f.find('/');
        p.numerateur = NTL::conv<NTL::ZZ>(f.substr(0, barre).c_str());
        p.denominateur = NTL::conv<NTL::ZZ>(f.substr(barre + 1).c_str());
        std::string reference;
        for (auto a : approches) {
            const auto t0 = Horloge::now();
            const auto r = egypte::meilleur(p, d, a);
            const double s = std::chrono::duration<double>(Horloge::now() - t0).count();
            std::cout << f << "  " << egypte::nomApproche(a) << "  " << s << " s  " << r.recherches
                      << " recherches  n = " << r.longueur << " : " << texte(r.x) << (r.prouve ? "" : " (non prouve)")
                      << "\n";
            if (reference.empty()) reference = texte(r.x);
            memes = memes && reference == texte(r.x);
        }
    }

    if (jusqua > 0) {
        std::vector<Mesure> mesures(approches.size());
        std::vector<std::string> reference;
        for (std::size_t j = 0; j < approches.size(); j++) {
            std::size_t rang = 0;
            long nombre = 0;
            const auto t0 = Horloge::now();
            for (long b = depuis; b < jusqua; b++)
                for (long a = 1; a < b; a++) {
                    if (!tous && std::__gcd(a, b) != 1) continue;
                    egypte::Probleme p;
                    p.numerateur = a;
                    p.denominateur = b;
                    const auto t1 = Horloge::now();
                    const auto r = egypte::meilleur(p, d, approches[j]);
                    const double s = std::chrono::duration<double>(Horloge::now() - t1).count();
                    mesures[j].recherches += r.recherches;
                    if (s > mesures[j].pire) {
                        mesures[j].pire = s;
                        mesures[j].pireFraction = std::to_string(a) + "/" + std::to_string(b);
                    }
                    const std::string x = texte(r.x) + (r.prouve ? "" : "?");
                    if (j == 0) reference.push_back(x);
                    else if (reference[rang] != x) {
                        memes = false;
                        std::cout << a << "/" << b << " : " << reference[rang] << " / " << x << "\n";
                    }
                    rang++;
                    nombre++;
                }
            mesures[j].secondes = std::chrono::duration<double>(Horloge::now() - t0).count();
            std::cout << "b de " << depuis << " a " << jusqua - 1 << (tous ? " (toutes)" : " (irreductibles)") << ", "
                      << egypte::nomApproche(approches[j]) << " : " << nombre << " fractions en " << mesures[j].secondes
                      << " s, " << mesures[j].recherches << " recherches, la plus longue " << mesures[j].pireFraction
                      << " en " << mesures[j].pire << " s\n";
        }
    }
    if (!memes) {
        std::cout << "les approches ne donnent pas les memes developpements\n";
        return 1;
    }
    return 0;
}
