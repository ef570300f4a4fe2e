#include "unites/atelier.h"

#include "commun/avancement.h"
#include "marche/recherche.h"
#include "unites/unites.h"

namespace egypte {

Atelier::Atelier(int fils, const std::atomic<bool>& arret, std::size_t reveil) : arret_(arret), reveil_(reveil)
{
    // Its threads work for the search of the thread that makes it.
    for (int k = 0; k < fils; k++)
        fils_.emplace_back([this, a = arretPropre] {
            const PourRecherche pour(a);
            travailler();
        });
}

Atelier::~Atelier()
{
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        fin_ = true;
    }
    travail_.notify_all();
    for (std::thread& t : fils_) t.join();
}

void Atelier::confier(long id, Element* el, const Recherche* modele)
{
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        file_.push_back(Tache{id, el, modele});
        enMain_++;
    }
    enCours_++;
    travail_.notify_one();
}

std::vector<long> Atelier::finis(std::chrono::microseconds attente)
{
    std::unique_lock<std::mutex> verrou(verrou_);
    if (finis_.empty()) fait_.wait_for(verrou, attente, [this] { return !finis_.empty() && enMain_ <= reveil_; });
    if (erreur_) {
        std::exception_ptr e;
        std::swap(e, erreur_);
        std::rethrow_exception(e);
    }
    std::vector<long> r;
    r.swap(finis_);
    enCours_ -= r.size();
    return r;
}

void Atelier::attendre()
{
    std::unique_lock<std::mutex> verrou(verrou_);
    fait_.wait(verrou, [this] { return enMain_ == 0; });
}

void Atelier::travailler()
{
    Recherche o;
    for (;;) {
        Tache t;
        {
            std::unique_lock<std::mutex> verrou(verrou_);
            travail_.wait(verrou, [this] { return fin_ || !file_.empty(); });
            // Ending with units still queued happens only when the caller
            // gave up on them (an exception): they are not walked.
            if (fin_) return;
            t = file_.front();
            file_.pop_front();
        }
        std::exception_ptr e;
        try {
            preparer(o, *t.modele);
            o.cadre.plafondTravail = o.cadre.plafondTravailReseau;  // only walks dealt out between processes come here
            parcourirUnite(o, *t.el, arret_);
        } catch (...) {
            // Out of memory, say: the unit is not walked, and the caller
            // learns why from finis.
            t.el->coupe = true;
            e = std::current_exception();
        }
        bool reveiller;
        {
            const std::lock_guard<std::mutex> garde(verrou_);
            if (e && !erreur_) erreur_ = e;
            finis_.push_back(t.id);
            enMain_--;
            reveiller = enMain_ <= reveil_;
        }
        if (reveiller) fait_.notify_all();
    }
}

}  // namespace egypte
