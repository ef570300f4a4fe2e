// What a search of the library hands its receiver: every expansion counted,
// with the extremes, and handed over by the receiver's choice (every one,
// the first K, one in every K, none) whether it comes from the walk itself
// or from a work unit's batch; and the record of the walk in a journal, each
// unit recorded only once the receiver has written its expansions for good.
// The one place where the choice of what is shown is made.
#ifndef EGYPTE_INTERFACE_LIVRAISON_H
#define EGYPTE_INTERFACE_LIVRAISON_H

#include <NTL/ZZ.h>

#include <cstdint>
#include <string>
#include <vector>

#include "egypte/egypte.h"
#include "egypte/journal.h"
#include "marche/sortie.h"

namespace egypte {

class Journal;

class Livraison : public Sortie {
public:
    // `r` may be nullptr (nothing is handed over), `journal` too.
    // `ecrivain`: r's file, when it writes one that the journal keeps in step.
    Livraison(const Demande& d, Recepteur* r, Journal* journal, Ecrivain* ecrivain = nullptr);

    void developpement(Recherche& s) override;
    bool developpements(Recherche& s, std::int64_t nombre, const NTL::ZZ& plusPetitXn) override;
    std::size_t lot(Recherche& s, const Collecte& c, std::size_t debut) override;
    bool compteSeulement() const override { return compteSeul_; }
    std::int64_t uneSur() const override;
    bool montre(Recherche& s, std::size_t nombre) override;
    bool enregistre() const override { return journal_ != nullptr; }
    void longueurFaite(int n) override;
    bool longueurVide(int n) override;
    int profondeur(int n, int choisie) override;
    long unitesFaites(Recherche& s, int n) override;
    void uniteFaite(Recherche& s, long numero) override;

    // The first write that failed (the receiver's or the journal's), empty
    // when none did. A failure stops the search at once.
    const std::string& erreur() const { return erreur_; }
    // The last expansion found, when one in every K was shown at the end.
    std::vector<NTL::ZZ> derniere() const;

private:
    Recepteur* r_;
    Ecrivain* ecrivain_;  // r_'s file, kept in step with the journal; nullptr: none
    Journal* journal_;
    const bool compteSeul_;
    Montrer montrer_;
    long long k_;            // K; 0 when beyond 62 bits (no expansion but the first of a cycle reaches it)
    std::int64_t depuis_ = 0;     // expansions found before the choice was made
    std::int64_t prochaine_ = 1;  // under one in every K: the number of the next one shown
    int longueurDite_ = 0;     // the length told to the receiver
    std::string erreur_;
    std::vector<NTL::ZZ> derniere_;  // its x[1..n-3]
    struct Fin3 {                     // its last three, a machine word when they fit
        bool mot = true;
        unsigned long valeur = 0;
        NTL::ZZ z;
    } fin3_[3];
    std::uint64_t prefixeGarde_ = 0;  // the walk's `prefixe` when derniere_ took x[1..n-3]
    bool prefixeSur_ = false;         // derniere_ holds the prefix of that value

    bool montree(std::int64_t numero);  // moves on to the next one shown
    void rattraper(std::int64_t K1);
    void choisir(Montrer m, const NTL::ZZ& K, std::int64_t depuis);
    void dire(Recherche& s);
    // Hands x[1..n] over; false when the receiver stops the search, changes
    // its choice or fails.
    bool remettre(Recherche& s);
    // The expansions debut..fin-1 of c taken, the others left.
    std::size_t partie(Recherche& s, const Collecte& c, std::size_t debut, std::size_t fin, std::int64_t avant);
    void echec(const std::string& message);
    void garder(const Recherche& s);
};

}  // namespace egypte

#endif
