// egypte-mpi: one computation of the command line spread over the processes
// of an MPI job, with the same options and exactly the same results as
// egypte (a scan of --balayer too: its denominators are its units). Rank 0 runs the computation: it enumerates the work units of each
// length, deals them out on demand (a couple per thread of a rank, since
// units are very uneven) to the other ranks and to its own threads, and
// replays what comes back in the walk's order, with the journal if one is
// given. The other ranks walk the units they are dealt on their threads and
// send each result as soon as it is done. A rank that dies ends the job
// (MPI's own handling); the journal then holds every unit that rank 0 had
// replayed.
#include <mpi.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <list>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commande/commande.h"
#include "dialogue/interruption.h"
#include "egypte/reseau.h"

namespace {

using namespace egypte;

constexpr int TRAVAIL = 1, RESULTAT = 2, FIN = 3, ARRET = 4;

// mpirun turns Ctrl-C into SIGTERM for every rank, then kills them a moment
// later: SIGTERM stops the search the way Ctrl-C stops the one-process
// program, so that rank 0 still writes what it found and its report.
extern "C" void surTerme(int) { interrompre(); }

void envoyerTexte(const std::string& s, int vers, int etiquette)
{
    MPI_Send(s.data(), static_cast<int>(s.size()), MPI_CHAR, vers, etiquette, MPI_COMM_WORLD);
}

std::string recevoirTexte(const MPI_Status& st)
{
    int k = 0;
    MPI_Get_count(&st, MPI_CHAR, &k);
    std::string s(static_cast<std::size_t>(k), '\0');
    MPI_Recv(s.data(), k, MPI_CHAR, st.MPI_SOURCE, st.MPI_TAG, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
    return s;
}

// A piece of text inside a message: its id and size, then its bytes.
void cadrer(std::ostream& o, long id, const std::string& texte) { o << id << ' ' << texte.size() << '\n' << texte; }

bool decadrer(std::istream& in, long& id, std::string& texte)
{
    std::size_t taille = 0;
    if (!(in >> id >> taille) || in.get() != '\n') return false;
    texte.resize(taille);
    return static_cast<bool>(in.read(texte.data(), static_cast<std::streamsize>(taille)));
}

void illisible(int rang)
{
    std::cerr << "egypte-mpi : message illisible du rang " << rang << '\n';
    MPI_Abort(MPI_COMM_WORLD, 3);
}

// Rank 0's side: the places free on each rank, the units waiting to go, the
// results that come back.
class TransportMpi : public Transport {
public:
    // fils[r]: the threads of rank r (r >= 1), each with `places` units.
    TransportMpi(const std::vector<int>& fils, int places)
        : libres_(fils.size()), tampons_(fils.size()), comptes_(fils.size())
    {
        for (std::size_t r = 1; r < fils.size(); r++) {
            fils_ += fils[r];
            libres_[r] = places * fils[r];
            places_ += libres_[r];
        }
    }
    int fils() const override { return fils_; }
    int places() override { return places_; }
    void confier(int n, long id, const std::string& unite) override
    {
        // To the rank with the most free places.
        std::size_t r = 1;
        for (std::size_t k = 2; k < libres_.size(); k++)
            if (libres_[k] > libres_[r]) r = k;
        libres_[r]--;
        places_--;
        n_ = n;
        cadrer(tampons_[r], id, unite);
        comptes_[r]++;
    }
    void expedier() override
    {
        for (std::size_t r = 1; r < tampons_.size(); r++) {
            if (comptes_[r] == 0) continue;
            envoyerTexte(std::to_string(n_) + ' ' + std::to_string(comptes_[r]) + '\n' + tampons_[r].str(),
                         static_cast<int>(r), TRAVAIL);
            tampons_[r].str("");
            comptes_[r] = 0;
        }
    }
    std::vector<std::pair<long, std::string>> recevoir() override
    {
        std::vector<std::pair<long, std::string>> resultats;
        for (;;) {
            MPI_Status st;
            int arrive = 0;
            MPI_Iprobe(MPI_ANY_SOURCE, RESULTAT, MPI_COMM_WORLD, &arrive, &st);
            if (!arrive) return resultats;
            std::istringstream in(recevoirTexte(st));
            int k = 0;
            in >> k;
            for (int j = 0; j < k; j++) {
                long id = -1;
                std::string texte;
                if (!decadrer(in, id, texte)) illisible(st.MPI_SOURCE);
                resultats.emplace_back(id, std::move(texte));
            }
            if (!in || k < 0) illisible(st.MPI_SOURCE);
            libres_[static_cast<std::size_t>(st.MPI_SOURCE)] += k;
            places_ += k;
        }
    }
    void arreter() override
    {
        for (std::size_t r = 1; r < libres_.size(); r++) envoyerTexte("", static_cast<int>(r), ARRET);
    }
    void finir()
    {
        for (std::size_t r = 1; r < libres_.size(); r++) envoyerTexte("", static_cast<int>(r), FIN);
    }

private:
    int fils_ = 0, places_ = 0, n_ = 0;
    std::vector<int> libres_;
    std::vector<std::ostringstream> tampons_;
    std::vector<int> comptes_;
};

// Another rank: walks the units it is dealt (an Ouvrier, or an
// OuvrierBalayage whose units are denominators) until rank 0 says it is over.
template <class Atelier>
int ouvrier(Atelier& atelier)
{
    // Ctrl-C stops the units in hand (their results say so); rank 0 then ends.
    const EcouteInterruption ecoute;
    struct Envoi {
        std::string texte;
        MPI_Request requete;
    };
    std::list<Envoi> envois;  // results on their way, kept until they have left
    for (;;) {
        envois.remove_if([](Envoi& e) {
            int fait = 0;
            MPI_Test(&e.requete, &fait, MPI_STATUS_IGNORE);
            return fait != 0;
        });
        for (;;) {
            MPI_Status st;
            int arrive = 0;
            MPI_Iprobe(0, MPI_ANY_TAG, MPI_COMM_WORLD, &arrive, &st);
            if (!arrive) break;
            const std::string texte = recevoirTexte(st);
            if (st.MPI_TAG == FIN) {
                for (Envoi& e : envois) MPI_Wait(&e.requete, MPI_STATUS_IGNORE);
                return 0;
            }
            if (st.MPI_TAG == ARRET) {
                atelier.arreter();
                continue;
            }
            std::istringstream in(texte);
            int n = 0, k = 0;
            in >> n >> k;
            if (!in || k < 0) illisible(0);
            for (int j = 0; j < k; j++) {
                long id = -1;
                std::string unite;
                if (!decadrer(in, id, unite)) illisible(0);
                atelier.confier(n, id, unite);
            }
        }
        // The results go back when half of the units in hand are done, or at
        // the next pause.
        std::ostringstream o;
        std::size_t k = 0;
        // Without waiting for rank 0 to take it: a large message waits for
        // its receiver, and a blocking send would spin on a core meanwhile.
        // A message stays well under the 2 GiB that a count of MPI can say.
        const auto envoyer = [&]() {
            envois.emplace_back();
            envois.back().texte = std::to_string(k) + '\n' + o.str();
            MPI_Isend(envois.back().texte.data(), static_cast<int>(envois.back().texte.size()), MPI_CHAR, 0,
                      RESULTAT, MPI_COMM_WORLD, &envois.back().requete);
            o.str("");
            k = 0;
        };
        for (const auto& [id, resultat] : atelier.finis(PAUSE)) {
            cadrer(o, id, resultat);
            k++;
            if (o.tellp() > (std::streamoff(1) << 28)) envoyer();
        }
        if (k > 0) envoyer();
    }
}

int ouvrier(const Commande& c, int fils)
{
    if (c.action == Action::balayage) {
        OuvrierBalayage atelier(c.probleme, c.balayage, fils);
        return ouvrier(atelier);
    }
    Demande d;
    d.montrer = c.montrer;
    Ouvrier atelier(c.probleme, d, fils);
    return ouvrier(atelier);
}

// Threads for each rank: --fils or EGYPTE_FILS when given, else the cores of
// the machine shared among the ranks that run on it.
int filsDuRang(const Commande& c, int rang)
{
    if (c.fils > 0) return c.fils;
    MPI_Comm machine;
    MPI_Comm_split_type(MPI_COMM_WORLD, MPI_COMM_TYPE_SHARED, rang, MPI_INFO_NULL, &machine);
    int voisins = 1;
    MPI_Comm_size(machine, &voisins);
    MPI_Comm_free(&machine);
    return std::max(1, nombreDeCoeurs() / voisins);
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
    // A file size limit makes a write fail (EFBIG), reported as every failed
    // write, instead of killing the rank.
    signal(SIGXFSZ, SIG_IGN);
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
    } else if (rangs == 1) {
        statut = executer(c);
    } else if (!repartie(c.action)) {
        // The best expansion, the estimate, the help and the version are
        // not cut into units: rank 0 runs them alone, with the same output
        // as egypte, while the other ranks wait at the end.
        if (rang == 0) {
            if (c.action == Action::meilleur || c.action == Action::estimation)
                std::cerr << "egypte-mpi : " << (c.action == Action::meilleur ? "--meilleur" : "--estimer")
                          << " se calcule sur le rang 0 seul\n";
            statut = executer(c);
        }
    } else {
        // Every rank says how many threads it walks with.
        const int fils = filsDuRang(c, rang);
        std::vector<int> tous(static_cast<std::size_t>(rangs));
        MPI_Gather(&fils, 1, MPI_INT, tous.data(), 1, MPI_INT, 0, MPI_COMM_WORLD);
        if (rang == 0) {
            // A denominator is a unit of a scan: a few per thread hide the
            // time of the messages.
            const bool balayage = c.action == Action::balayage;
            TransportMpi transport(tous, balayage ? 4 : placesParFil(c.montrer != Commande::Montrer::compter));
            c.fils = fils;
            c.balayage.fils = fils;
            statut = executer(c, &transport);
            transport.finir();
        } else {
            try {
                statut = ouvrier(c, fils);
            } catch (const std::exception& e) {
                std::cerr << "egypte-mpi : le rang " << rang << " s'arrete : " << e.what() << '\n';
                MPI_Abort(MPI_COMM_WORLD, 1);
            }
        }
    }
    MPI_Finalize();
    return statut;
}
