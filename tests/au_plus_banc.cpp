// Benchmark of the decision "minimal length at most K" (src/balayage/au_plus.h)
// over every p/q (1 <= p < q, gcd 1) of a range of denominators, on one
// thread: the fast way alone, the whole decision (the fast way, then the
// exact search for what it left), and with --exact the exact minimal length
// of every fraction (longueurMinimale) in the same run, each fraction's
// answer held against the decision's.
//
//   egypte_au_plus Q1 Q2 [--K 8] [--exact] [--multiplicateurs M1,M2,...]
//                        [--candidats N] [--parite paire|impaire]
//                        [--repetitions] [--restes] [--rapide] [--ancienne]
//                        [--sans-paires] [--profondeur N] [--pas N]
// --ancienne: the decider as it was (ReglagesAuPlus::ancienne); --pas N:
// only the numerators p = 1, 1 + N, 1 + 2N, ... (a sample, for the old
// decider at large q).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "balayage/au_plus.h"
#include "egypte/balayage.h"

namespace {

using Horloge = std::chrono::steady_clock;

double secondes(Horloge::time_point a, Horloge::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage : egypte_au_plus Q1 Q2 [--K 8] [--exact] [--multiplicateurs M1,M2] [--candidats N] [--parite paire|impaire] [--repetitions]\n");
        return 2;
    }
    const std::int64_t q1 = std::atoll(argv[1]), q2 = std::atoll(argv[2]);
    int K = 8;
    bool exact = false;
    bool restes = false;  // list the fractions the fast way leaves
    bool rapideSeule = false;  // the fast way alone, not the whole decision
    std::int64_t pas = 1;      // the numerators' stride
    egypte::ReglagesAuPlus reglages;
    egypte::Probleme pb;
    for (int k = 3; k < argc; k++) {
        if (!std::strcmp(argv[k], "--K") && k + 1 < argc) K = std::atoi(argv[++k]);
        else if (!std::strcmp(argv[k], "--exact")) exact = true;
        else if (!std::strcmp(argv[k], "--restes")) restes = true;
        else if (!std::strcmp(argv[k], "--rapide")) rapideSeule = true;
        else if (!std::strcmp(argv[k], "--candidats") && k + 1 < argc) reglages.candidats = std::atoi(argv[++k]);
        else if (!std::strcmp(argv[k], "--sans-paires")) reglages.paires = false;
        else if (!std::strcmp(argv[k], "--ancienne")) reglages.ancienne = true;
        else if (!std::strcmp(argv[k], "--pas") && k + 1 < argc) pas = std::atoll(argv[++k]);
        else if (!std::strcmp(argv[k], "--profondeur") && k + 1 < argc) reglages.profondeur = std::atol(argv[++k]);
        else if (!std::strcmp(argv[k], "--repetitions")) pb.inconnues = egypte::Inconnues::repetees;
        else if (!std::strcmp(argv[k], "--parite") && k + 1 < argc) {
            if (!egypte::lireParite(argv[++k], pb.parite)) return 2;
        } else if (!std::strcmp(argv[k], "--multiplicateurs") && k + 1 < argc) {
            std::istringstream in(argv[++k]);
            std::string m;
            while (std::getline(in, m, ',')) reglages.multiplicateurs.push_back(std::stoull(m));
        } else {
            std::fprintf(stderr, "option inconnue : %s\n", argv[k]);
            return 2;
        }
    }
    // The tables are built once per process: not part of any rate.
    const auto t0 = Horloge::now();
    { egypte::AuPlus(pb, q1, K, reglages); }
    const double construction = secondes(t0, Horloge::now());

    std::int64_t fractions = 0, trouvees = 0, auPlus = 0, auDela = 0, desaccords = 0;
    double rapide = 0, decision = 0, exacte = 0;
    std::int64_t exactes = 0;  // the decisions that called the exact search
    double tempsExactes = 0;
    std::vector<std::uint64_t> x;
    std::vector<std::int64_t> longueurs(K + 1, 0);  // the fast way's lengths
    for (std::int64_t q = q1; q <= q2; q++) {
        // The fast way alone, then the whole decision, then the exact search:
        // each over the whole line, so that each pass sees the same caches.
        auto a = Horloge::now();
        egypte::AuPlus dec(pb, q, K, reglages);
        for (std::int64_t p = 1; p < q; p += pas) {
            if (std::gcd(p, q) != 1) continue;
            fractions++;
            if (dec.trouver(p, x)) {
                trouvees++;
                longueurs[x.size()]++;
            } else if (restes)
                std::printf("reste : %lld/%lld\n", static_cast<long long>(p), static_cast<long long>(q));
        }
        auto b = Horloge::now();
        rapide += secondes(a, b);
        if (rapideSeule) continue;
        std::vector<char> reponse;
        for (std::int64_t p = 1; p < q; p += pas) {
            if (std::gcd(p, q) != 1) continue;
            const auto avant = Horloge::now();
            const egypte::DecisionAuPlus d = egypte::decider(dec, p);
            if (d.exacte) {
                exactes++;
                tempsExactes += secondes(avant, Horloge::now());
            }
            reponse.push_back(d.auPlus);
            if (d.auPlus) auPlus++;
            else auDela++;
        }
        auto c = Horloge::now();
        decision += secondes(b, c);
        if (!exact) continue;
        std::size_t i = 0;
        for (std::int64_t p = 1; p < q; p += pas) {
            if (std::gcd(p, q) != 1) continue;
            const int n = egypte::longueurMinimale(pb, NTL::ZZ(p), NTL::ZZ(q)).n;
            if ((n > 0 && n <= K) != static_cast<bool>(reponse[i++])) {
                desaccords++;
                std::printf("desaccord : %lld/%lld longueur %d\n", static_cast<long long>(p), static_cast<long long>(q), n);
            }
        }
        exacte += secondes(c, Horloge::now());
    }
    std::printf("q = %lld..%lld, K = %d, %lld fractions (tables : %.2f s)\n", static_cast<long long>(q1),
                static_cast<long long>(q2), K, static_cast<long long>(fractions), construction);
    std::printf("  voie rapide : %.3f s, %.0f fractions/s, %.3f us chacune ; laisse %lld (%.2e) a la recherche exacte\n",
                rapide, fractions / rapide, 1e6 * rapide / fractions, static_cast<long long>(fractions - trouvees),
                static_cast<double>(fractions - trouvees) / fractions);
    std::printf("  longueurs trouvees :");
    for (int n = 1; n <= K; n++) std::printf(" %lld", static_cast<long long>(longueurs[n]));
    std::printf("\n  decision entiere : %.3f s, %.0f fractions/s, %.3f us chacune ; au plus %d : %lld, au-dela : %lld\n",
                decision, fractions / decision, 1e6 * decision / fractions, K, static_cast<long long>(auPlus),
                static_cast<long long>(auDela));
    if (!rapideSeule)
        std::printf("  recherche exacte appelee : %lld fois (%.2e des fractions), %.3f s, %.2f ms chacune\n",
                    static_cast<long long>(exactes), static_cast<double>(exactes) / fractions, tempsExactes,
                    exactes ? 1e3 * tempsExactes / exactes : 0.0);
    if (exact)
        std::printf("  longueurMinimale : %.3f s, %.0f fractions/s, %.1f us chacune ; decision / exacte = %.5f ; desaccords : %lld\n",
                    exacte, fractions / exacte, 1e6 * exacte / fractions, decision / exacte,
                    static_cast<long long>(desaccords));
    return desaccords == 0 ? 0 : 1;
}
