// The side of a process that scans the denominators another process deals
// out: a queue, threads that take from it, the lines that are done.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "balayage/ligne_balayage.h"
#include "egypte/reseau.h"

namespace egypte {

struct OuvrierBalayage::Etat {
    Etat(const Probleme& c, const DemandeBalayage& d) : contraintes(c), demande(d) {}
    const Probleme contraintes;
    const DemandeBalayage demande;
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::pair<long, std::int64_t>> aFaire;
    std::vector<std::pair<long, std::string>> faits;
    std::size_t enMain = 0;
    bool fin = false;
    std::vector<std::thread> fils;  // last: they end before what they read

    void travailler()
    {
        std::int64_t fractions = 0;
        std::unique_lock<std::mutex> g(m);
        for (;;) {
            cv.wait(g, [&] { return fin || !aFaire.empty(); });
            if (fin) return;
            const auto [id, q] = aFaire.front();
            aFaire.pop_front();
            g.unlock();
            LigneBalayage l;
            const bool fait = calculerLigne(contraintes, demande, q, l, fractions);
            g.lock();
            faits.emplace_back(id, fait ? texteLigne(l) : "coupe");
            cv.notify_all();
        }
    }
};

OuvrierBalayage::OuvrierBalayage(const Probleme& c, const DemandeBalayage& d, int fils)
    : etat_(std::make_unique<Etat>(c, d))
{
    for (int k = 0; k < fils; k++) etat_->fils.emplace_back([e = etat_.get()] { e->travailler(); });
}

OuvrierBalayage::~OuvrierBalayage()
{
    {
        std::lock_guard<std::mutex> g(etat_->m);
        etat_->fin = true;
    }
    etat_->cv.notify_all();
    for (std::thread& f : etat_->fils) f.join();
}

void OuvrierBalayage::confier(int, long id, const std::string& unite)
{
    std::int64_t q = 0;
    std::size_t lu = 0;
    try {
        q = std::stoll(unite, &lu);
    } catch (const std::exception&) {
        lu = 0;
    }
    if (lu == 0 || lu != unite.size() || q < 1 || q != id)
        throw Erreur(Erreur::Genre::message, "denominateur illisible d'un autre processus");
    std::lock_guard<std::mutex> g(etat_->m);
    etat_->aFaire.emplace_back(id, q);
    etat_->enMain++;
    etat_->cv.notify_all();
}

std::vector<std::pair<long, std::string>> OuvrierBalayage::finis(std::chrono::microseconds attente)
{
    Etat& e = *etat_;
    std::unique_lock<std::mutex> g(e.m);
    // Back when half of those in hand are done, or after the wait.
    e.cv.wait_for(g, attente, [&] { return e.faits.size() * 2 >= e.enMain && !e.faits.empty(); });
    std::vector<std::pair<long, std::string>> r;
    r.swap(e.faits);
    e.enMain -= r.size();
    return r;
}

void OuvrierBalayage::arreter()
{
    std::lock_guard<std::mutex> g(etat_->m);
    for (const auto& [id, q] : etat_->aFaire) etat_->faits.emplace_back(id, "coupe");
    etat_->aFaire.clear();
}

}  // namespace egypte
