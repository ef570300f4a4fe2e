#include "output/ligne.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "search/etat.h"
#include "search/parallele.h"

namespace egypte {

SortieLigne::SortieLigne(const Commande& c, std::FILE* flux, const std::string& nom, bool fichier, Journal* journal)
    : montrer_(c.montrer), k_(NumBits(c.K) <= 62 ? to_long(c.K) : 0), flux_(flux), nom_(nom), fichier_(fichier),
      journal_(journal)
{
    if (journal_ != nullptr) fin_ = journal_->derniere().fin;
}

void SortieLigne::echec(const std::string& message)
{
    if (erreur_.empty()) erreur_ = message;
    // Stops every thread and process of the walk as Ctrl-C does, so that no
    // unit past the failure counts as done.
    interrompu.store(true, std::memory_order_relaxed);
}

bool SortieLigne::noter(bool ecrit, const std::string& message)
{
    if (!ecrit) echec(message);
    return ecrit;
}

bool SortieLigne::montree(std::int64_t numero) const
{
    switch (montrer_) {
    case Commande::Montrer::tout:
        return true;
    case Commande::Montrer::premieres:
        return k_ == 0 || numero <= k_;
    case Commande::Montrer::uneSur:
        return numero == 1 || (k_ != 0 && (numero - 1) % k_ == 0);
    case Commande::Montrer::compter:
        return false;
    }
    return false;
}

void SortieLigne::ecrire(const Recherche& s)
{
    ligne_.clear();
    for (int a = 1; a <= s.n; a++) {
        if (a > 1) ligne_.push_back(' ');
        // Machine words are written without a detour through a stream.
        if (NumBits(s.x[a]) <= 63) {
            ligne_ += std::to_string(to_long(s.x[a]));
        } else {
            std::ostringstream o;
            o << s.x[a];
            ligne_ += o.str();
        }
    }
    ligne_.push_back('\n');
    ligneNeuve_ = true;
    if (!erreur_.empty()) return;
    if (std::fwrite(ligne_.data(), 1, ligne_.size(), flux_) != ligne_.size())
        echec("egypte : impossible d'ecrire " + nom_ + " (" + std::strerror(errno) + ")");
}

void SortieLigne::developpement(Recherche& s)
{
    s.K1++;
    if (s.x[s.n] > s.m) s.m = s.x[s.n];
    if (s.K1 == 1 || s.x[1] < s.m1) s.m1 = s.x[1];
    if (montree(s.K1)) ecrire(s);
    // The first K are all there is to show: the search stops there.
    if (montrer_ == Commande::Montrer::premieres && k_ != 0 && s.K1 >= k_) s.L = -1;
}

bool SortieLigne::lot(Recherche& s, const Collecte& c, std::size_t debut)
{
    if (montrer_ != Commande::Montrer::compter && montrer_ != Commande::Montrer::uneSur) return false;
    const std::int64_t avant = s.K1;
    const std::size_t fin = c.taille();
    if (montrer_ == Commande::Montrer::uneSur) {
        for (std::size_t j = debut; j < fin; j++)
            if (montree(avant + static_cast<std::int64_t>(j - debut) + 1)) {
                s.K1 = avant + static_cast<std::int64_t>(j - debut) + 1;
                c.lire(j, s.x);
                ecrire(s);
            }
    }
    s.K1 = avant + static_cast<std::int64_t>(fin - debut);
    if (fin > debut) {
        if (c.plusGrandXn > s.m) s.m = c.plusGrandXn;
        if (avant == 0 || c.plusPetitX1 < s.m1) s.m1 = c.plusPetitX1;
    }
    return true;
}

void SortieLigne::longueurFaite(int n)
{
    std::string e;
    if (journal_ != nullptr && erreur_.empty()) noter(journal_->noterVide(n, e), e);
}

bool SortieLigne::longueurVide(int n) { return journal_ != nullptr && journal_->longueurVide(n); }

int SortieLigne::profondeur(int n, int choisie)
{
    if (journal_ == nullptr) return choisie;
    const int k = journal_->profondeur(n);
    if (k > 0) return k;
    std::string e;
    if (erreur_.empty()) noter(journal_->noterProfondeur(n, choisie, e), e);
    return choisie;
}

long SortieLigne::unitesFaites(Recherche& s, int n)
{
    if (journal_ == nullptr) return 0;
    const Journal::Unite& u = journal_->derniere(n);
    if (u.numero < 0) return 0;
    s.K1 = u.K1;
    s.m = u.m;
    s.m1 = u.m1;
    // The listing was checked against the journal and cut back to what the
    // finished units wrote before the search began.
    return u.numero + 1;
}

void SortieLigne::uniteFaite(Recherche& s, long numero)
{
    if (journal_ == nullptr || !erreur_.empty()) return;
    // The unit's expansions are on the disk before the unit counts as done.
    if (std::fflush(flux_) != 0) {
        echec("egypte : impossible d'ecrire " + nom_ + " (" + std::strerror(errno) + ")");
        return;
    }
    if (fichier_ && ::fdatasync(fileno(flux_)) != 0) {
        echec("egypte : impossible d'ecrire " + nom_ + " sur le disque (" + std::strerror(errno) + ")");
        return;
    }
    Journal::Unite u;
    u.numero = numero;
    u.K1 = s.K1;
    u.m = s.m;
    u.m1 = s.m1;
    if (fichier_) {
        const long position = std::ftell(flux_);
        if (position < 0) {
            echec("egypte : impossible de lire la position dans " + nom_ + " (" + std::strerror(errno) + ")");
            return;
        }
        u.octets = position;
        if (ligneNeuve_) fin_ = sommeControle(ligne_);
        u.fin = u.octets == 0 ? "-" : fin_;
    }
    std::string e;
    if (noter(journal_->noterUnite(s.n, u, e), e)) ligneNeuve_ = false;
}

std::string enteteJournal(const Commande& c)
{
    const Probleme& p = c.probleme;
    std::ostringstream o;
    // The version of the cutting into units: a journal written under another
    // one numbers other units.
    o << "egypte-journal 2 decoupage 1 " << p.P1 << '/' << p.Q1 << " type " << p.type << " parite " << p.parite
      << " min-x1 " << p.minx << " max-xn " << p.M << " min-n " << p.minn << " max-n " << p.maxn << " longueur "
      << p.longueur << " sans-un " << p.sansUn << " montrer " << static_cast<int>(c.montrer) << ' ' << c.K
      // Where the listing goes: a journal of a listing on standard output
      // knows no file to resume into.
      << " liste " << (c.sortie.empty() ? "sortie-standard" : "fichier");
    return o.str();
}

}  // namespace egypte
