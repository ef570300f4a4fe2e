// egypte-mpi: one computation of the command line spread over the processes
// of an MPI job, with the same options and exactly the same results as
// egypte. Rank 0 runs the computation: it enumerates the work units of each
// length, deals them out on demand (a few per thread of a rank, since units
// are very uneven), and replays what comes back in the walk's order, with
// the journal if one is given. The other ranks walk the units they are dealt,
// each on its threads. A rank that dies ends the job (MPI's own handling);
// the journal then holds every unit that rank 0 had replayed.
#include <mpi.h>
#include <signal.h>
#include <oneapi/tbb/enumerable_thread_specific.h>
#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/task_arena.h>

#include <chrono>
#include <iostream>
#include <thread>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dialogue/commande.h"
#include "dialogue/interruption.h"
#include "search/reseau.h"

namespace {

using namespace egypte;

constexpr int TRAVAIL = 1, RESULTAT = 2, FIN = 3;

// mpirun turns Ctrl-C into SIGTERM for every rank, then kills them a moment
// later: SIGTERM stops the search the way Ctrl-C stops the one-process
// program, so that rank 0 still writes what it found and its report.
extern "C" void surTerme(int) { interrompu.store(true, std::memory_order_relaxed); }

void envoyerTexte(const std::string& s, int vers, int etiquette)
{
    MPI_Send(s.data(), static_cast<int>(s.size()), MPI_CHAR, vers, etiquette, MPI_COMM_WORLD);
}

std::string recevoirTexte(int de, int etiquette, MPI_Status& st)
{
    MPI_Probe(de, etiquette, MPI_COMM_WORLD, &st);
    int k = 0;
    MPI_Get_count(&st, MPI_CHAR, &k);
    std::string s(static_cast<std::size_t>(k), '\0');
    MPI_Recv(s.data(), k, MPI_CHAR, st.MPI_SOURCE, st.MPI_TAG, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
    return s;
}

// Rank 0's side: the ranks that wait for units, the messages both ways.
class ReseauMpi : public Reseau {
public:
    ReseauMpi(int rangs, int lot) : lot_(lot)
    {
        for (int r = rangs - 1; r >= 1; r--) libres_.push_back(r);
    }
    bool libre() override { return !libres_.empty(); }
    int lot() const override { return lot_; }
    void envoyer(int n, const std::vector<Element*>& unites) override
    {
        std::ostringstream o;
        o << n << ' ' << unites.size() << '\n';
        for (const Element* el : unites) ecrireUnite(o, *el);
        envoyerTexte(o.str(), libres_.back(), TRAVAIL);
        libres_.pop_back();
    }
    std::vector<long> recevoir(std::map<long, std::unique_ptr<Element>>& dehors) override
    {
        // Rank 0 mostly waits: a blocking receive would spin on a core that
        // the other ranks' threads use, so it looks now and then instead.
        MPI_Status st;
        for (int arrive = 0;;) {
            MPI_Iprobe(MPI_ANY_SOURCE, RESULTAT, MPI_COMM_WORLD, &arrive, &st);
            if (arrive) break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::istringstream in(recevoirTexte(st.MPI_SOURCE, RESULTAT, st));
        libres_.push_back(st.MPI_SOURCE);
        std::size_t k = 0;
        in >> k;
        std::vector<long> numeros;
        for (std::size_t j = 0; j < k; j++) {
            long numero = -1;
            in >> numero;
            const auto it = dehors.find(numero);
            if (!in || it == dehors.end()) {
                std::cerr << "egypte-mpi : message illisible du rang " << st.MPI_SOURCE << '\n';
                MPI_Abort(MPI_COMM_WORLD, 3);
            }
            lireResultat(in, *it->second);
            numeros.push_back(numero);
        }
        return numeros;
    }
    void finir(int rangs)
    {
        for (int r = 1; r < rangs; r++) envoyerTexte("", r, FIN);
    }

private:
    std::vector<int> libres_;
    const int lot_;
};

// Another rank: walks the units it is dealt until rank 0 says it is over.
int ouvrier(const Commande& c)
{
    Recherche probleme;
    Recherche::Fin pourquoi;
    probleme.poser(c.probleme, pourquoi);
    probleme.compteSeul = c.montrer == Commande::Montrer::compter;
    const int fils = nombreDeFils(c.fils);
    tbb::task_arena arene(fils);
    tbb::enumerable_thread_specific<Recherche> ouvriers;
    const std::atomic<bool> jamais{false};
    // Ctrl-C stops the units in hand (their results say so); rank 0 then ends.
    const EcouteInterruption ecoute;
    for (;;) {
        // Waiting for units, a rank looks now and then rather than spinning:
        // rank 0 may be walking the rest of a unit on the same cores.
        MPI_Status st;
        for (int arrive = 0;;) {
            MPI_Iprobe(0, MPI_ANY_TAG, MPI_COMM_WORLD, &arrive, &st);
            if (arrive) break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const std::string texte = recevoirTexte(0, st.MPI_TAG, st);
        if (st.MPI_TAG == FIN) return 0;
        std::istringstream in(texte);
        int n = 0;
        std::size_t k = 0;
        in >> n >> k;
        probleme.n = n;
        probleme.nz = n;
        std::vector<Element> unites(k);
        for (Element& el : unites) lireUnite(in, el);
        arene.execute([&] {
            tbb::parallel_for(std::size_t(0), k, [&](std::size_t j) {
                Recherche& o = ouvriers.local();
                preparer(o, probleme);
                parcourirUnite(o, unites[j], jamais);
            });
        });
        std::ostringstream o;
        o << k << '\n';
        for (const Element& el : unites) ecrireResultat(o, el);
        envoyerTexte(o.str(), 0, RESULTAT);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    MPI_Init(&argc, &argv);
    struct sigaction terme {};
    terme.sa_handler = surTerme;
    sigemptyset(&terme.sa_mask);
    terme.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &terme, nullptr);
    int rang = 0, rangs = 1;
    MPI_Comm_rank(MPI_COMM_WORLD, &rang);
    MPI_Comm_size(MPI_COMM_WORLD, &rangs);
    Commande c;
    std::string erreur;
    int statut = 0;
    if (argc < 2) {
        erreur = "egypte-mpi : il faut une fraction P/Q (egypte-mpi --aide)";
        statut = 2;
    } else if (!analyser(argc, argv, c, erreur)) {
        statut = 2;
    }
    if (statut == 2) {
        if (rang == 0) std::cerr << erreur << '\n';
    } else if (c.aide || c.version) {
        if (rang == 0) std::cout << (c.aide ? aideCommande() : versionCommande() + "\n");
    } else if (rangs == 1) {
        statut = lancer(c);
    } else if (rang == 0) {
        ReseauMpi reseau(rangs, 2 * nombreDeFils(c.fils));
        statut = lancer(c, &reseau);
        reseau.finir(rangs);
    } else {
        statut = ouvrier(c);
    }
    MPI_Finalize();
    return statut;
}
