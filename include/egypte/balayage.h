// A scan of many fractions at once: for every denominator q of a range, the
// minimal length of each p/q (1 <= p < q, gcd(p, q) = 1) under the same
// constraints, tallied by length, and the first fraction that needs each
// length. The fractions are dealt to every core (and, through a Transport,
// to other processes); the lines come out in increasing q whatever the order
// they were finished in, and a journal resumes a long scan at the first
// unfinished q.
//
//     egypte::DemandeBalayage d;    // q = 2..100, distinct unit fractions
//     d.q1 = 2;
//     d.q2 = 100;
//     egypte::balayer(egypte::Probleme{}, d, recepteur);
//     // recepteur is handed "5: 1 2 1" as {q 5, comptes {1, 2, 1}}
#ifndef EGYPTE_BALAYAGE_H
#define EGYPTE_BALAYAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "egypte/egypte.h"

namespace egypte {

// What a scan computes for each fraction.
enum class ModeBalayage {
    longueurs,  // its minimal length, tallied by length in each line (the default)
    compter,    // its expansions counted (of the minimal length, or of the problem's `longueur`)
    meilleur,   // its best expansion: the fewest terms, then the smallest xn, x(n-1), ...
    auPlus,     // whether it has an expansion of at most `auPlus` terms; those without, with their minimal length
};

struct DemandeBalayage {
    // The denominators, 2 <= q1 <= q2 < 2^62 (1 <= q1 for a family of one
    // numerator).
    std::int64_t q1 = 2, q2 = 2;
    // Not 0: the family numerateur/q, one fraction a denominator, kept as
    // entered (4/6 is 4/6, searched as 2/3; 4/2 and 4/1 too), in a mode other
    // than `longueurs` (whose lines tally many numerators). 0: every p/q
    // with p < q and gcd(p, q) = 1.
    NTL::ZZ numerateur;
    bool moinsUn = false;         // only (q - 1)/q for each q (not with numerateur)
    bool premiers = false;        // only prime q
    int fils = 0;                 // threads; 0: EGYPTE_FILS, or every core
    std::string journal;          // a journal to keep and resume from; empty: none
    // Where the scan stands (q, fractions a second, the time left) on a line
    // of standard error redrawn every second, when it is a terminal.
    bool ligneDEtat = false;
    ModeBalayage mode = ModeBalayage::longueurs;
    long auPlus = 0;              // ModeBalayage::auPlus: K, at least 1
    std::atomic<bool>* arret = nullptr;  // this scan's own stop, as Demande::arret
};

// One fraction of a line, in the modes other than `longueurs`.
struct FractionBalayee {
    NTL::ZZ p;  // its numerator as entered (its denominator is the line's q)
    // compter and meilleur: the search's result (the count, the length, the
    // extremes, how it ended); auPlus: only `longueur`, its minimal length
    // (0 when it has none), and `fin` (Fin::limite: none up to LONGUEUR_MAX,
    // which is not known to be none).
    Resultat resultat;
    std::vector<NTL::ZZ> meilleur;  // meilleur: the best expansion (empty: none)
    bool prouve = false;            // meilleur: proven best (the search went to its end)
};

// What one denominator gave.
struct LigneBalayage {
    std::int64_t q = 0;
    // comptes[i - 1]: the numerators whose minimal length is i; up to the
    // largest length met (empty when none had an expansion).
    std::vector<std::int64_t> comptes;
    // premiers[i - 1]: the smallest of them (0 when comptes[i - 1] is 0).
    std::vector<std::int64_t> premiers;
    // Numerators with no expansion under the constraints.
    std::int64_t sans = 0;
    // Numerators whose search met no expansion up to LONGUEUR_MAX, the
    // length limit: not known to have none.
    std::int64_t limite = 0;
    // The modes other than `longueurs` (comptes, premiers and sans stay
    // empty): each fraction of q in increasing p, or in `auPlus` only those
    // that need more than K terms, and how many were checked.
    std::vector<FractionBalayee> fractions;
    std::int64_t verifiees = 0;
    std::int64_t exactes = 0;  // auPlus: the fractions the fast way left to the exact search
};

// What the lines of a scan held, those a journal held included.
struct TotauxBalayage {
    std::int64_t limites = 0;    // fractions stopped at the length limit
    std::int64_t verifiees = 0;  // the modes with a result per fraction: fractions checked
    // The fractions the lines kept: in auPlus, those that need more than K
    // terms, have none, or stopped at the limit.
    std::int64_t auDela = 0;
    std::int64_t exactes = 0;    // auPlus: those the fast way left to the exact search
};

// The first fraction of the scan that needs n terms: the smallest q, then
// the smallest p.
struct RecordBalayage {
    int n = 0;
    std::int64_t p = 0, q = 0;
};

// Where the lines go, in increasing q, one call at a time. A receiver that
// writes a file which a journal must keep in step also derives from
// Ecrivain (egypte/journal.h).
class RecepteurBalayage {
public:
    virtual ~RecepteurBalayage() = default;
    // The line of q and the records it sets (the lengths it is the first to
    // need, increasing). With a journal, the line is written for good when
    // this returns: only then is it recorded. A failed writing stops the
    // scan (Fin::ecriture).
    virtual Ecriture recevoir(const LigneBalayage& ligne, const std::vector<RecordBalayage>& records) = 0;
};

struct ResultatBalayage {
    // complete, interrompue (the stop flag), ecriture (see `erreur`), or
    // limite: the scan went to its end, but the search of
    // `totaux.limites` fractions stopped at the length limit (their lines
    // say so).
    Fin fin = Fin::complete;
    std::string erreur;
    std::int64_t reprise = 0;    // the first q this run scanned: q1, or past what the journal held
    std::int64_t derniere = 0;   // the last q whose line went out (reprise - 1: none)
    std::int64_t lignes = 0;     // lines handed over by this run
    std::int64_t fractions = 0;  // fractions searched by this run
    TotauxBalayage totaux;       // of every line from q1, those the journal held included
    // Every record of the scan from q1, those the journal held included.
    std::vector<RecordBalayage> records;
    bool complet() const { return fin == Fin::complete; }
};

// Scans d.q1..d.q2 under the constraints of `contraintes` (its fraction is
// not read; --longueur and the bounds on n apply to every fraction). Throws
// Erreur when the range, the constraints or the journal cannot be used
// (nothing was changed then).
ResultatBalayage balayer(const Probleme& contraintes, const DemandeBalayage& d, RecepteurBalayage& r);

// What longueurMinimale found.
struct LongueurMinimale {
    enum class Issue {
        trouvee,     // `n` is the minimal length
        aucune,      // no expansion under the constraints
        limite,      // none up to LONGUEUR_MAX: not known to be none
        interrompue  // the stop flag cut the search
    };
    Issue issue = Issue::aucune;
    int n = 0;  // when trouvee
    bool trouvee() const { return issue == Issue::trouvee; }
};

// The minimal length of one fraction p/q under the constraints of
// `contraintes` (its fraction is not read), on the calling thread.
LongueurMinimale longueurMinimale(const Probleme& contraintes, const NTL::ZZ& p, const NTL::ZZ& q);

}  // namespace egypte

#endif
