// What a part of a walk hands back: the node where it starts (Noeud) and the
// expansions it met (Collecte). The walk of one length on several threads
// (unites/parallele.cpp) cuts the walk into such parts; the walk hands its
// expansions to a Collecte when it walks one.
#ifndef EGYPTE_MARCHE_COLLECTE_H
#define EGYPTE_MARCHE_COLLECTE_H

#include <NTL/ZZ.h>
#include <NTL/vector.h>

#include <cstdint>
#include <istream>
#include <ostream>
#include <vector>

#include "commun/bilan.h"

namespace egypte {

class Recherche;

// A node between two steps of a walk: x[1..i], minr[1..i] and the running sum.
struct Noeud {
    int i = 0;
    std::vector<NTL::ZZ> x, minr;  // entries 0..i
    NTL::ZZ N, D;
    void prendre(const Recherche& s);
    // Into s, whose vectors already have n + 1 entries.
    void poser(Recherche& s) const;
};

// The expansions met by a part of a walk, in the walk's order, as compact as
// they fit: n machine words each, or n big integers when one does not fit.
// Keeps their count and extremes in a Bilan.
class Collecte {
public:
    // stocker false: only counts them and keeps the extremes (for an output
    // that shows none of them), so a unit needs no memory whatever its count;
    // with derniere, the last one too (for an output that shows so few that
    // a unit one of whose expansions is shown is walked again instead).
    void vider(int n, bool stocker = true, bool derniere = false);
    // Takes s.marche.x[1..n].
    void ajouter(Recherche& s);
    // Takes `nombre` expansions at once, the last of them (in the walk's
    // order) in s.marche.x[1..n], the smallest xn of them `plusPetitXn`,
    // when none of them needs keeping on its own (the unit keeps none or only
    // its last, and none is the one that stops a replay). False, with
    // nothing done, otherwise.
    bool ajouterBloc(Recherche& s, std::size_t nombre, const NTL::ZZ& plusPetitXn);
    std::size_t taille() const { return static_cast<std::size_t>(bilan.nombre); }
    // Holds `plafond` expansions or more. Counted ones too: a unit that
    // reaches its quota hands the rest back as smaller units, which is also
    // what shares a heavy unit between the threads.
    bool plein(std::size_t plafond) const
    {
        return taille() >= plafond || (plafondTravail_ > 0 && travail_ >= plafondTravail_);
    }
    // The work a unit may do before plein says so too (0: no bound; vider
    // removes it), and one more piece of work done.
    void limiterTravail(std::int64_t plafond) { plafondTravail_ = plafond; }
    void travailler() { travail_++; }
    bool stocke() const { return stocker_; }
    // Holds only the last of its expansions.
    bool derniereSeule() const { return !stocker_ && derniere_; }
    // Expansion j into x[1..n] (only the last when derniereSeule).
    void lire(std::size_t j, NTL::Vec<NTL::ZZ>& x) const;
    // As text, and back (for units walked by another process).
    void ecrire(std::ostream& o) const;
    void lire(std::istream& in);

    Bilan bilan;  // the expansions handed, kept or not, with their extremes
    // For the replay of one step with the answer -1 at its expansion number
    // arretA (1-based): stops the search there, as the display would. 0 = never.
    std::size_t arretA = 0;

private:
    int n_ = 0;
    bool stocker_ = true;
    bool derniere_ = false;
    std::vector<std::uint64_t> mots_;
    std::vector<NTL::ZZ> grands_;
    std::vector<std::int64_t> entrees_;  // >= 0: offset in mots_; < 0: -(offset in grands_) - 1
    std::size_t nombre_ = 0;  // what was handed, when not kept
    std::int64_t travail_ = 0;
    std::int64_t plafondTravail_ = 0;

    void prendre(Recherche& s);
    void garder(const NTL::Vec<NTL::ZZ>& x);
};

}  // namespace egypte

#endif
