// egypte: the Egyptian-fraction expansions of minimal length of a fraction
// P/Q, 1/x1 + ... + 1/xn = P/Q with x1 <= ... <= xn, under constraints (the
// unknowns all different or not, all odd or all even, a minimum for x1, a
// maximum for xn, bounds on n), listed or counted in decreasing
// lexicographic order, on every core. Every number is exact (NTL's ZZ).
//
// The one public header of the library: the dialogue, the command line, the
// MPI program, the Python module and the benchmarks use nothing else.
//
//     egypte::Probleme p;               // 1 as 7 distinct unit fractions
//     p.longueur = 7;
//     egypte::Demande d;
//     d.montrer = egypte::Montrer::compter;
//     const egypte::Resultat r = egypte::chercher(p, d);
//     // r.solutions == 245765, r.plusGrandXn == 10650056950806
#ifndef EGYPTE_EGYPTE_H
#define EGYPTE_EGYPTE_H

#include <NTL/ZZ.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The version of the library, of its programs and of its journals' contents.
#define EGYPTE_VERSION_MAJEURE 8
#define EGYPTE_VERSION_MINEURE 1
#define EGYPTE_VERSION "8.1"

namespace egypte {

// The version of the library linked in ("8.1"), which may differ from the
// EGYPTE_VERSION of the header a program was built with.
const char* version();

// --- Errors -------------------------------------------------------------------

// What a message of the library names: a field of a problem or of a
// request. Each front end calls them by its own words (the command line by
// its options, the Python module by its arguments); the library's own words
// are the fields' names.
enum class Terme {
    inconnues,     // Probleme::inconnues (repeated unknowns allowed)
    parite,        // Probleme::parite
    minimumX1,     // Probleme::minimumX1
    maximumXn,     // Probleme::maximumXn
    longueurMin,   // Probleme::longueurMin
    longueurMax,   // Probleme::longueurMax
    longueur,      // Probleme::longueur
    sansUn,        // Probleme::sansUn
    fils,          // the threads of a request
    estimation,    // the size estimate itself (estimer)
};
// The library's word for t: the name of its field ("minimumX1").
const char* motDuTerme(Terme t);

// Everything the library refuses, with one line of French. Its message names
// fields through Terme, so that a front end can say it in its own words
// (texte); what() says it in the library's.
class Erreur : public std::runtime_error {
public:
    enum class Genre {
        probleme,  // a problem or a request that cannot be searched as given
        fichier,   // a journal or a listing that cannot be used (nothing was changed)
        message,   // a unit or a result from another process that cannot be read
    };
    // One piece of a message: its own text, or a field named.
    struct Morceau {
        Morceau(const char* t) : texte(t) {}
        Morceau(std::string t) : texte(std::move(t)) {}
        Morceau(Terme t) : terme(true), quoi(t) {}
        std::string texte;
        bool terme = false;
        Terme quoi = Terme::inconnues;
    };
    Erreur(Genre g, const std::string& message) : Erreur(g, std::vector<Morceau>{Morceau(message)}) {}
    Erreur(Genre g, std::vector<Morceau> morceaux);
    Genre genre() const { return genre_; }
    // The message with each field named by `mot`.
    template <class Mot>
    std::string texte(Mot mot) const
    {
        std::string t;
        for (const Morceau& m : morceaux_) t += m.terme ? std::string(mot(m.quoi)) : m.texte;
        return t;
    }

private:
    Genre genre_;
    std::vector<Morceau> morceaux_;
};

// --- The problem --------------------------------------------------------------

// Whether the unknowns of one expansion are all different (the default) or
// some may be equal (the dialogue's Type 2 and Type 1).
enum class Inconnues { repetees = 1, distinctes = 2 };
// The parity of every unknown.
enum class Parite { indifferente = 0, impaires = 1, paires = 2 };
// Its word ("indifferente", "impaire", "paire"), as the command line and the
// reports write it; lireParite reads one back (false on anything else).
const char* nomParite(Parite p);
bool lireParite(const std::string& mot, Parite& p);

// The fraction as entered and every constraint; 0 stands for the absence of
// a bound. A length beyond LONGUEUR_MAX is past every length searched:
// `longueurLue` reads one of any size that way.
struct Probleme {
    NTL::ZZ numerateur{1}, denominateur{1};  // the fraction as entered, both positive
    Inconnues inconnues = Inconnues::distinctes;
    Parite parite = Parite::indifferente;
    NTL::ZZ minimumX1;     // x1 >= minimumX1; 0 = none
    NTL::ZZ maximumXn;     // xn <= maximumXn; 0 = none
    long longueurMin = 0;  // n >= longueurMin; 0 = none
    long longueurMax = 0;  // n <= longueurMax; 0 = none
    bool sansUn = false;   // the value 1 excluded for x1 (meaningful when P >= Q)
    long longueur = 0;     // that length only, no search of the minimal one; 0 = search
    // Only the expansions that begin x1, ..., xk with these denominators (one
    // more constraint: the minimal length is that of such expansions). Empty:
    // any beginning.
    std::vector<NTL::ZZ> debut;
};

// Throws Erreur(probleme) when the problem is not one to search: a fraction
// that is not positive, bounds out of order, a length with bounds on n, a
// beginning that breaks the constraints or whose sum already reaches P/Q.
void verifier(const Probleme& p);

// Whether odd unknowns can reach p/q at all: the denominator of p/q in
// lowest terms is odd (false: no other constraint can help).
bool impairesPossibles(const NTL::ZZ& p, const NTL::ZZ& q);

// The largest length searched: a search that meets no expansion up to it ends
// with Fin::limite.
inline constexpr long LONGUEUR_MAX = 100000;

// A length of any size as a Probleme holds it: beyond LONGUEUR_MAX, as
// LONGUEUR_MAX + 1, which lies past every length searched (a minimum there
// leaves none, a maximum there bounds none). Negative values stay negative,
// for verifier to refuse.
long longueurLue(const NTL::ZZ& n);

// --- The expansions -----------------------------------------------------------

// One expansion, x1 <= ... <= xn, valid during the call that hands it over.
class Developpement {
public:
    Developpement(const NTL::ZZ* x, int n) : x_(x), n_(n) {}
    int taille() const { return n_; }
    const NTL::ZZ& operator[](int k) const { return x_[k]; }  // k from 0
    std::vector<NTL::ZZ> valeurs() const { return std::vector<NTL::ZZ>(x_, x_ + n_); }

private:
    const NTL::ZZ* x_;
    int n_;
};

// Which expansions a receiver is handed. Every one is counted whatever the
// choice; one in every K is the first one from where the choice was made,
// then every K-th.
enum class Montrer {
    tout,       // every expansion
    premieres,  // the first K, then the search stops
    uneSur,     // one in every K
    compter,    // none
};

// What a receiver answers after it wrote: done, or a write that failed, in
// one line that names the file and the reason. A failed write stops the
// computation (Fin::ecriture, the line in the result's `erreur`); what was
// handed over before it still counts. The one way every receiver (of a
// search, of a scan, and a journal's Ecrivain) says so.
class Ecriture {
public:
    Ecriture() = default;  // written
    static Ecriture echec(std::string ligne)
    {
        Ecriture e;
        e.ligne_ = ligne.empty() ? std::string("ecriture impossible") : std::move(ligne);
        return e;
    }
    bool reussie() const { return ligne_.empty(); }
    const std::string& ligne() const { return ligne_; }

private:
    std::string ligne_;
};

// Where the expansions go, in the walk's order (one thread at a time, never
// two calls at once), with their number among those found (from 1). A
// receiver that writes a file which a journal must keep in step also derives
// from Ecrivain (egypte/journal.h).
class Recepteur {
public:
    virtual ~Recepteur() = default;

    // What the receiver answers after an expansion.
    struct Suite {
        bool arreter = false;             // the search stops after this expansion
        bool changer = false;             // from the next expansion on: `montrer`, K
        Montrer montrer = Montrer::tout;  // tout, uneSur or compter
        NTL::ZZ K{1};
        Ecriture ecriture;                // a write failed: the search stops (Fin::ecriture)
    };
    virtual Suite recevoir(const Developpement& x, std::int64_t numero) = 0;

    // The length n of the expansions is known: before the first of them.
    // `seule`: P/Q is the largest sum of n admissible unknowns, and its one
    // expansion comes next, found without a walk.
    virtual void longueur(int /*n*/, bool /*seule*/) {}
};

// --- A search -----------------------------------------------------------------

struct Demande {
    Montrer montrer = Montrer::tout;
    NTL::ZZ K{1};                // for premieres and uneSur: at least 1
    int fils = 0;                // threads; 0: EGYPTE_FILS, or every core
    std::string journal;         // a journal to keep and resume from; empty: none
    bool ligneDEtat = false;     // the status line on standard error, when it is a terminal
    // The plain walk on one thread, step by step, without the fast search:
    // the reference every other way of searching is held against (and
    // measured against); slow.
    bool marcheDeReference = false;
    // The stop of this search alone, beside the process's flag: once the
    // caller sets it, the search stops at its next step on all its threads
    // (Fin::interrompue), and no other search looks at it or clears it. The
    // search sets it too where it would set the process's flag to stop its
    // own threads (a write that failed). nullptr: the process's flag alone.
    std::atomic<bool>* arret = nullptr;
};

enum class Fin {
    complete,    // the search went to its end: the count is the whole count
    interrompue, // stopped by the flag (Ctrl-C, a signal) or by its own stop (Demande::arret)
    arretee,     // stopped by the receiver, or after the first K
    limite,      // no expansion up to LONGUEUR_MAX
    ecriture,    // the receiver or the journal failed to write (see `erreur`)
};

struct Resultat {
    Fin fin = Fin::complete;
    // The constraints left a length to try, and the lengths were searched
    // (false: none is left, or the first is beyond LONGUEUR_MAX).
    bool pose = false;
    std::string erreur;        // Fin::ecriture: one line naming the file and the reason
    NTL::ZZ P, Q;              // the fraction in lowest terms
    bool sansUn = false;       // the value 1 was excluded for x1
    int longueur = 0;          // the length of the expansions found (the minimal one); 0: none
    std::int64_t solutions = 0;
    NTL::ZZ plusGrandXn, plusPetitX1;  // when solutions > 0
    NTL::ZZ plusPetitXn;               // the smallest xn among the expansions found, when solutions > 0
    bool seule = false;        // the length was settled by its single expansion, without a walk
    std::vector<NTL::ZZ> derniere;  // when one in every K was shown at the end: the last expansion found
    bool complet() const { return fin == Fin::complete; }
};

// Searches the expansions of p and hands those that `d` shows to `r`
// (nullptr: none). Throws Erreur when p or d cannot be searched, or the
// journal cannot be used (then nothing was changed).
Resultat chercher(const Probleme& p, const Demande& d, Recepteur* r = nullptr);

// The cores of this machine (at least 1): the threads of a search by default.
int nombreDeCoeurs();

// A number of threads as every front end reads it (--fils, EGYPTE_FILS, and
// the library when EGYPTE_FILS is set): decimal digits only, leading zeros
// allowed, from 1 to 1024; nothing when the text is not one.
std::optional<int> lireFils(const std::string& texte);

// The process's stop flag (Ctrl-C's): every search stops at its next step
// once it is set, and a search that starts does not clear it. A front end
// that runs several searches at once and stops one of them gives each a stop
// of its own instead (Demande::arret).
void interrompre();
void effacerInterruption();
bool interruption();

// --- The estimate -------------------------------------------------------------

struct DemandeEstimation {
    int longueur = 0;          // the length to estimate, at least 4
    double secondes = 5;       // time given to the probes
    long sondes = 0;           // that many probes instead (0: as many as `secondes` allows)
    std::uint64_t graine = 0;  // seed of the draws; 0: drawn at random
    int fils = 0;              // threads the count would use (for its time)
    std::atomic<bool>* arret = nullptr;  // this estimate's own stop, as Demande::arret
};

struct Estimation {
    enum class Genre {
        sondee,      // the probes ran: the means below
        nulle,       // the length is ruled out: no expansion, exactly
        seule,       // one expansion, exactly
        courte,      // a beginning leaves fewer than 4 unknowns: counted exactly (developpements)
        interrompue  // stopped before a probe was complete
    };
    Genre genre = Genre::nulle;
    int n = 0;
    int profondeur = 0;             // depth n - 3, down to which a probe draws one value at each level
    long bloc = 0;                  // values of x[n-2] a probe walks at most under it
    int profondeurStrates = 0;      // depth of the strata: every node above it walked exactly
    long noeudsStrates = 0;         // nodes at that depth, shared among the strata
    long strates = 0;               // strata, each probed apart
    long stratesSansSondage = 0;    // strata the time left without a probe: their share is missing
    double developpementsExacts = 0;  // what the walk above the strata met, exactly
    double noeudsExacts = 0;
    double secondesExactes = 0;
    long sondes = 0;                // complete probes
    std::uint64_t graine = 0;       // the seed used
    double developpements = 0;      // the estimates (the exact part and the strata's), and their standard errors
    double ecartDeveloppements = 0;
    double noeuds = 0;
    double ecartNoeuds = 0;
    double secondes = 0;            // the walk on one core
    double ecartSecondes = 0;
    int fils = 1;                   // threads the count would use
    double duree = 0;               // seconds the estimate took
    bool arretCtrlC = false;        // stopped by the flag or its own stop (those probes complete are kept)
    // The walk on `fils` threads, were it perfectly shared.
    double secondesFils() const { return secondes / fils; }
    // The interval the report gives: two standard errors about the estimate
    // (it holds the count about 19 times in 20 when the standard error is
    // itself well estimated), never below 0.
    double minimum() const { return std::max(0.0, developpements - 2 * ecartDeveloppements); }
    double maximum() const { return developpements + 2 * ecartDeveloppements; }
    // Standard error of the mean relative to the mean (0 when the mean is 0).
    double relatif() const { return developpements > 0 ? ecartDeveloppements / developpements : 0; }
    NTL::ZZ P, Q;                   // the fraction in lowest terms
    bool sansUn = false;            // the value 1 was excluded for x1
};

// The size of the count of one length, estimated by random probes of its
// walk (Knuth's estimator), without doing it.
Estimation estimer(const Probleme& p, const DemandeEstimation& d);

}  // namespace egypte

#endif
