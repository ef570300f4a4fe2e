// The scan: denominators dealt one at a time to the threads (and to other
// processes through a Transport), their lines handed over in increasing q
// by the calling thread, each recorded in the journal once written. A
// denominator is the unit: it is done whole or not at all, so a stop leaves
// every line before the first unfinished q, and a resume starts there.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "balayage/journal_balayage.h"
#include "balayage/ligne_balayage.h"
#include "egypte/reseau.h"
#include "commun/avancement.h"
#include "commun/fils.h"
#include "commun/ligne_d_etat.h"

namespace egypte {

namespace {

// Denominators dealt ahead of the first whose line has not gone out: a slow
// one does not hold the others back, and what waits stays small.
constexpr std::int64_t FENETRE = 1 << 16;

void verifierDemande(const Probleme& c, const DemandeBalayage& d)
{
    constexpr std::int64_t MAX = std::int64_t(1) << 62;
    const bool famille = !IsZero(d.numerateur);
    if (d.q1 < (famille ? 1 : 2) || d.q2 < d.q1 || d.q2 >= MAX)
        throw Erreur(Erreur::Genre::probleme, famille ? "les denominateurs d'un balayage vont de Q1 a Q2, avec 1 <= Q1 <= Q2 < 2^62"
                                                      : "les denominateurs d'un balayage vont de Q1 a Q2, avec 2 <= Q1 <= Q2 < 2^62");
    if (d.numerateur < 0) throw Erreur(Erreur::Genre::probleme, "le numerateur d'une famille est un entier positif");
    if (famille && d.moinsUn) throw Erreur(Erreur::Genre::probleme, "une famille d'un numerateur exclut (q - 1)/q");
    // A line of lengths tallies every numerator of q: a family has one.
    if (famille && d.mode == ModeBalayage::longueurs)
        throw Erreur(Erreur::Genre::probleme,
                     "une famille d'un numerateur se balaie en comptant, par le meilleur developpement ou au plus K termes");
    if (d.mode == ModeBalayage::auPlus && (d.auPlus < 1 || d.auPlus > LONGUEUR_MAX))
        throw Erreur(Erreur::Genre::probleme, "au plus K termes : K va de 1 a 100000");
    if (d.fils < 0 || d.fils > 1024) throw Erreur(Erreur::Genre::probleme, {Terme::fils, " attend un entier de 1 a 1024"});
    Probleme p = c;
    p.numerateur = 1;
    p.denominateur = 2;
    verifier(p);
}

// The scan's status line, on standard error when it is a terminal: the q
// reached, the speed and the time left, drawn once a second.
class LigneDEtatBalayage {
public:
    explicit LigneDEtatBalayage(const DemandeBalayage& d)
        : d_(d), ligne_(2, d.ligneDEtat && ::isatty(2) == 1, std::chrono::seconds(1), std::chrono::seconds(1))
    {
    }

    void montrer(std::int64_t q, std::int64_t fractions)
    {
        const auto maintenant = LigneDEtat::Horloge::now();
        if (q < d_.q1 || !ligne_.due(maintenant)) return;
        const double ecoule = std::chrono::duration<double>(maintenant - ligne_.debut()).count();
        const bool lineaire = IsZero(d_.numerateur) && !d_.moinsUn;
        const auto poids = [lineaire](double a, double b) { return lineaire ? b * b - a * a : b - a; };
        const double fait = poids(static_cast<double>(d_.q1), static_cast<double>(q) + 1);
        const double reste = ecoule * poids(static_cast<double>(q) + 1, static_cast<double>(d_.q2) + 1) / std::max(fait, 1.0);
        char texte[160];
        const int n = std::snprintf(texte, sizeof texte, "q = %lld (jusqu'a %lld), %.0f fractions/s, reste ~%.0f s",
                                    static_cast<long long>(q), static_cast<long long>(d_.q2), fractions / std::max(ecoule, 1e-3),
                                    reste);
        if (n > 0) ligne_.dessiner(std::string(texte, std::min(static_cast<std::size_t>(n), sizeof texte - 1)));
    }
    void effacer() { ligne_.effacer(); }

private:
    const DemandeBalayage& d_;
    LigneDEtat ligne_;
};

class Balayeur {
public:
    Balayeur(const Probleme& c, const DemandeBalayage& d, RecepteurBalayage& r, Transport* t)
        : c_(c), d_(d), r_(r), ecrivain_(dynamic_cast<Ecrivain*>(&r)), t_(t)
    {
    }

    ResultatBalayage balayer()
    {
        if (!d_.journal.empty()) {
            journal_ = std::make_unique<JournalBalayage>();
            journal_->ouvrir(d_.journal, JournalBalayage::entete(c_, d_, ecrivain_));
            const std::int64_t q = journal_->derniere();
            if (q != 0 && (q < d_.q1 || q > d_.q2))
                throw Erreur(Erreur::Genre::fichier, "le journal est illisible (q = " + std::to_string(q) + " hors du balayage)");
            // The output checked against the journal before either is written.
            if (ecrivain_ != nullptr) ecrivain_->commencer(journal_->nouveau() ? nullptr : &journal_->position());
            if (const Ecriture e = journal_->preparer(); !e.reussie()) throw Erreur(Erreur::Genre::fichier, e.ligne());
            res_.records = journal_->records();
            res_.totaux = journal_->totaux();
            vues_ = journal_->vues();
        } else if (ecrivain_ != nullptr) {
            ecrivain_->commencer(nullptr);
        }
        prochain_ = attendu_ = denominateurSuivant(d_, journal_ ? std::max(journal_->derniere(), d_.q1 - 1) : d_.q1 - 1);
        res_.reprise = attendu_ != 0 ? attendu_ : d_.q2 + 1;
        res_.derniere = res_.reprise - 1;
        std::vector<std::thread> fils;
        const int n = nombreDeFils(d_.fils);
        for (int k = 0; k < n; k++)
            fils.emplace_back([this, a = arretPropre] {
                const PourRecherche pour(a);
                travailler();
            });
        const auto finir = [&] {
            {
                std::lock_guard<std::mutex> g(m_);
                arret_ = true;
            }
            cv_.notify_all();
            for (std::thread& f : fils) f.join();
        };
        try {
            distribuer();
        } catch (...) {
            finir();
            throw;
        }
        finir();
        // Every line went out, but some fractions are not known.
        if (res_.fin == Fin::complete && res_.totaux.limites > 0) res_.fin = Fin::limite;
        return res_;
    }

private:
    const Probleme& c_;
    const DemandeBalayage& d_;
    RecepteurBalayage& r_;
    Ecrivain* ecrivain_;  // r_'s file, kept in step with the journal; nullptr: none
    Transport* t_;
    std::unique_ptr<JournalBalayage> journal_;
    ResultatBalayage res_;
    std::vector<bool> vues_;

    std::mutex m_;
    std::condition_variable cv_;
    std::int64_t prochain_ = 0;  // the next denominator to deal (0: all dealt)
    std::int64_t attendu_ = 0;   // the next one whose line goes out (0: all out)
    std::int64_t dehors_ = 0;    // dealt and not yet back
    std::int64_t enAvance_ = 0;  // dealt and whose line has not gone out
    bool arret_ = false;         // nothing more is dealt
    std::map<std::int64_t, std::optional<LigneBalayage>> finis_;  // nullopt: cut
    std::int64_t fractions_ = 0;
    std::int64_t faites_ = 0;  // fractions of the lines that went out
    LigneDEtatBalayage etat_{d_};

    // Under m_: the next denominator to deal, 0 when none.
    std::int64_t prendre()
    {
        if (arret_ || prochain_ == 0 || enAvance_ >= FENETRE) return 0;
        const std::int64_t q = prochain_;
        prochain_ = denominateurSuivant(d_, q);
        dehors_++;
        enAvance_++;
        return q;
    }

    // Under m_.
    void rendre(std::int64_t q, std::optional<LigneBalayage> l)
    {
        dehors_--;
        finis_[q] = std::move(l);
    }

    void travailler()
    {
        std::int64_t fractions = 0;
        std::unique_lock<std::mutex> g(m_);
        for (;;) {
            cv_.wait(g, [&] { return arret_ || prochain_ == 0 || enAvance_ < FENETRE; });
            const std::int64_t q = arrete() ? 0 : prendre();
            if (q == 0) break;
            g.unlock();
            LigneBalayage l;
            const bool fait = calculerLigne(c_, d_, q, l, fractions);
            g.lock();
            rendre(q, fait ? std::optional<LigneBalayage>(std::move(l)) : std::nullopt);
            cv_.notify_all();
        }
        fractions_ += fractions;
    }

    // The calling thread: deals to the transport, hands the lines over in
    // order, until every line went out or the scan stops and nothing is out.
    void distribuer()
    {
        bool arreteDehors = false;
        std::unique_lock<std::mutex> g(m_);
        for (;;) {
            if (arrete() && res_.fin == Fin::complete) res_.fin = Fin::interrompue;
            if (res_.fin != Fin::complete) arret_ = true;
            if (t_ != nullptr) {
                if (arret_ && !arreteDehors) {
                    t_->arreter();
                    arreteDehors = true;
                }
                confier();
                recevoir();
            }
            sortir(g);
            etat_.montrer(res_.derniere, faites_);
            if (attendu_ == 0 || (arret_ && dehors_ == 0)) break;
            const auto attente = t_ != nullptr ? PAUSE : std::chrono::microseconds(50000);
            cv_.wait_for(g, attente);
        }
    }

    // Under m_: the denominators that go to other processes.
    void confier()
    {
        bool confie = false;
        for (int k = t_->places(); k > 0; k--) {
            const std::int64_t q = prendre();
            if (q == 0) break;
            t_->confier(0, static_cast<long>(q), std::to_string(q));
            confie = true;
        }
        if (confie) t_->expedier();
    }

    void recevoir()
    {
        for (auto& [id, texte] : t_->recevoir()) {
            LigneBalayage l;
            if (texte == "coupe") {
                rendre(id, std::nullopt);
                continue;
            }
            if (!lireLigne(texte, l) || l.q != id)
                throw Erreur(Erreur::Genre::message, "ligne de balayage illisible d'un autre processus");
            // Its fractions, for the count of those searched: each is in one
            // tally of the line.
            fractions_ += l.sans + l.limite + l.verifiees;
            for (std::int64_t c : l.comptes) fractions_ += c;
            rendre(id, std::move(l));
        }
    }

    // Under m_ (released while the receiver writes): the lines that can go
    // out, up to the first not back, or cut by the stop (nothing past it goes
    // out), or whose writing failed.
    void sortir(std::unique_lock<std::mutex>& g)
    {
        while (attendu_ != 0 && res_.fin != Fin::ecriture) {
            const auto it = finis_.find(attendu_);
            if (it == finis_.end()) return;
            if (!it->second) {
                if (res_.fin == Fin::complete) res_.fin = Fin::interrompue;
                arret_ = true;
                return;
            }
            const LigneBalayage l = std::move(*it->second);
            finis_.erase(it);
            etat_.effacer();
            faites_ += l.sans + l.limite + l.verifiees;
            for (std::int64_t c : l.comptes) faites_ += c;
            const std::vector<RecordBalayage> records = nouveauxRecords(l, vues_);
            g.unlock();
            Ecriture ecrit = r_.recevoir(l, records);
            if (ecrit.reussie() && journal_) {
                Position p;
                if (ecrivain_ != nullptr) ecrit = ecrivain_->ecrire(p);
                if (ecrit.reussie()) ecrit = journal_->noter(l, p);
            }
            g.lock();
            if (!ecrit.reussie()) {
                res_.fin = Fin::ecriture;
                res_.erreur = ecrit.ligne();
                arret_ = true;
                break;
            }
            res_.records.insert(res_.records.end(), records.begin(), records.end());
            ajouter(res_.totaux, l);
            res_.derniere = l.q;
            res_.lignes++;
            enAvance_--;
            attendu_ = denominateurSuivant(d_, attendu_);
            cv_.notify_all();
        }
    }

public:
    std::int64_t fractions() const { return fractions_; }
};

ResultatBalayage lancer(const Probleme& c, const DemandeBalayage& d, RecepteurBalayage& r, Transport* t)
{
    const PourRecherche pour(d.arret);
    verifierDemande(c, d);
    Balayeur b(c, d, r, t);
    ResultatBalayage res = b.balayer();
    res.fractions = b.fractions();
    return res;
}

}  // namespace

ResultatBalayage balayer(const Probleme& c, const DemandeBalayage& d, RecepteurBalayage& r)
{
    return lancer(c, d, r, nullptr);
}

ResultatBalayage balayer(const Probleme& c, const DemandeBalayage& d, RecepteurBalayage& r, Transport& t)
{
    return lancer(c, d, r, &t);
}

}  // namespace egypte
