// Whether p/q has an expansion of at most K unit fractions, decided in
// microseconds for nearly every fraction: a fast way that finds such an
// expansion from the divisors of q*m for a few highly composite multipliers
// m, then, for what that leaves (fractions near 1 at large prime q), any two
// unit fractions for the part over q*m and a short search in depth, each
// answer checked exactly, and the exact minimal length (longueurMinimale)
// only for the rare fraction the fast way finds nothing for. Built once per
// denominator, asked for each numerator:
//
//     egypte::AuPlus a(egypte::Probleme{}, 27539, 8);   // distinct, q = 27539, K = 8
//     std::vector<std::uint64_t> x;
//     if (a.trouver(27538, x)) ...                       // x: at most 8 denominators, increasing
//     const egypte::DecisionAuPlus d = egypte::decider(a, 27538);
//     // d.auPlus: the minimal length of 27538/27539 is at most 8
#ifndef EGYPTE_BALAYAGE_AU_PLUS_H
#define EGYPTE_BALAYAGE_AU_PLUS_H

#include <cstdint>
#include <optional>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/egypte.h"

namespace egypte {

// How the fast way searches; the defaults are the measured best (see
// au_plus.cpp). Other values serve the benchmark's comparisons.
struct ReglagesAuPlus {
    // The multipliers, tried in this order; empty: the defaults for the
    // parity asked (odd ones for odd unknowns). Each must be at most 2^40,
    // and a table of about sigma(m) bytes is built for it once per process.
    std::vector<std::uint64_t> multiplicateurs;
    // How many splittings p*m = q'*A + B one multiplier may try (each costs
    // two table reads) before the next multiplier.
    int candidats = 256;
    // What the sums of divisors leave, tried again with the part over q'm
    // as any two unit fractions.
    bool paires = true;
    // The steps of the search in depth for what both leave (0: none).
    long profondeur = 300000;
    // The decider as it was before the pairs and the search in depth (the
    // multipliers 720720, 1441440, 2162160, 3603600, unless given): for the
    // benchmark's comparisons.
    bool ancienne = false;
};

// The constraints of a Probleme as the fast way checks them, read once.
struct ContraintesAuPlus {
    bool distinctes = true;
    Parite parite = Parite::indifferente;
    std::uint64_t minx = 0;  // 0: none
    std::uint64_t maxx = 0;  // 0: none
    bool sansUn = false;
    long premiere = 1, derniere = LONGUEUR_MAX;  // the lengths allowed
    bool horsDePortee = false;  // a constraint the fast way never meets (a beginning given)
};

// The fast way for one denominator q and a bound K, under the constraints
// of a Probleme (its fraction is not read). Reads shared tables only, built
// once per process under a lock: one object per thread.
class AuPlus {
public:
    // q >= 1, K >= 1. Throws Erreur(probleme) on constraints that cannot be
    // searched.
    AuPlus(const Probleme& contraintes, std::int64_t q, int K, const ReglagesAuPlus& r = ReglagesAuPlus{});

    // An expansion of p/q (p >= 1) in at most K unit fractions that meets
    // every constraint, in x (increasing), checked exactly before it is
    // handed over; false when the fast way found none (which proves nothing).
    bool trouver(std::int64_t p, std::vector<std::uint64_t>& x);

    std::int64_t q() const { return q_; }
    int K() const { return K_; }
    const Probleme& contraintes() const { return probleme_; }
    const ContraintesAuPlus& lues() const { return c_; }

private:
    Probleme probleme_;
    ContraintesAuPlus c_;
    std::int64_t q_;
    int K_;
    int candidats_;
    bool paires_;
    long profondeur_;
    std::vector<std::uint64_t> facteursQ_;  // the primes of q, and 2
    std::vector<std::uint64_t> multiplicateurs_;
    // Their tables, in order, each taken (and built, once per process) when
    // the first fraction needs it: most never need past the first.
    std::vector<const void*> tables_;
    // Per multiplier, the divisors of q' m, made when first needed.
    std::vector<std::vector<std::uint64_t>> diviseursQm_;
    std::vector<std::uint64_t> a_, b_;  // scratch: the divisors of the two parts
};

// Whether x (any order) is an expansion of p/q in at most K unit fractions
// that meets c: the sum is checked exactly (128-bit integers, NTL's ZZ when
// they would overflow). Independent of how x was found.
bool developpementValide(std::int64_t p, std::int64_t q, int K, const ContraintesAuPlus& c,
                         const std::vector<std::uint64_t>& x);

// The constraints of a Probleme as the fast way reads them.
ContraintesAuPlus lireContraintes(const Probleme& p);

struct DecisionAuPlus {
    bool auPlus = false;  // the minimal length of p/q is at most K
    // auPlus: the fast way's length (an upper bound of the minimal one), or
    // the exact minimal length when the exact search decided. Otherwise the
    // exact minimal length (> K), 0 when there is none (see `exacte`).
    int longueur = 0;
    // What the exact search answered, when the fast way left p/q to it
    // (interrompue, without it, when the stop cut the fast way).
    std::optional<LongueurMinimale> exacte;
    std::vector<std::uint64_t> x;  // the fast way's expansion, when it found one
};

// The whole decision for p/q: the fast way, then longueurMinimale only when
// it found nothing.
DecisionAuPlus decider(AuPlus& a, std::int64_t p);

}  // namespace egypte

#endif
