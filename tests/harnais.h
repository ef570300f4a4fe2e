// Test helpers: run a routine with a typed input and capture what it writes,
// and run one walk of the search to collect its expansions.
#ifndef EGYPTE_TESTS_HARNAIS_H
#define EGYPTE_TESTS_HARNAIS_H

#include <cstdint>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/egypte.h"
#include "marche/recherche.h"

namespace essai {

// Redirects std::cin to the given text and std::cout to a buffer while alive.
class Console {
public:
    explicit Console(const std::string& entree);
    ~Console();
    std::string sortie() const { return out_.str(); }
    std::string reste();  // input not consumed yet

private:
    std::istringstream in_;
    std::ostringstream out_;
    std::streambuf *ancienIn_, *ancienOut_;
};

using Developpement = std::vector<long>;

// Keeps every line of a scan and its records.
struct Lignes : egypte::RecepteurBalayage {
    std::vector<egypte::LigneBalayage> lignes;
    std::vector<egypte::RecordBalayage> records;
    egypte::Ecriture recevoir(const egypte::LigneBalayage& l, const std::vector<egypte::RecordBalayage>& r) override
    {
        lignes.push_back(l);
        records.insert(records.end(), r.begin(), r.end());
        return {};
    }
};

// Keeps the values of every expansion handed over.
struct Liste : egypte::Recepteur {
    std::vector<std::vector<NTL::ZZ>> x;
    Suite recevoir(const egypte::Developpement& d, std::int64_t) override
    {
        x.push_back(d.valeurs());
        return {};
    }
};

// The effective minimum and maximum (0: none) are already of the right parity.
struct Probleme {
    long P, Q;
    int n, type = 2, parite = 0;
    long minx = 1, M = 0;
};

// Runs the walk of one length the way the computation drives it, with every
// expansion shown (paging answer 0), and reads the expansions back from the
// solution lines written by the display.
std::vector<Developpement> parcourir(const Probleme& pb);

// The solution lines ("\t \t \t k  :      x1\t \t...") of a transcript.
std::vector<Developpement> lignesSolutions(const std::string& texte);

// How a computation is searched: the plain walk or the fast search with its
// settings, on how many threads, how work units are cut. `loin` > 0: units
// dealt out as to other processes (through their messages' text), walked on
// that many threads; `facteurs`: numbers of more bits factored as big
// integers (64 in a search; lower, small problems take that path).
struct Reglages {
    int simple = 0, fils = 1, bits = 62, methode = 0, avant = 1;
    std::size_t plafond = std::size_t(1) << 16;  // the expansions after which a unit hands back its rest
    int unitesParFil = 64;
    int loin = 0;
    int facteurs = 64;
    std::int64_t travail = std::int64_t(1) << 16;  // the work after which a unit hands back its rest
    int valeurs = 1024;                            // the values of x[n-2] in each unit of that rest
};

// One whole computation typed through calcul (the answers from the prompt
// for P onwards): what it wrote, the answers left unread, its count, and the
// problem and result of its last search.
struct Trace {
    std::string sortie, reste;
    std::int64_t compte;
    egypte::Probleme probleme;
    egypte::Resultat resultat;
};
Trace calculer(const std::string& tape, const Reglages& r);

// One search of the public API under r, without a receiver.
egypte::Resultat chercher(const egypte::Probleme& p, const egypte::Demande& d, const Reglages& r);

// The same computation under two settings: same bytes written, same answers
// read, same count (the differential harness of every new path).
void comparer(const std::string& tape, const Reglages& a, const Reglages& b);

// A random computation: P/Q with Q up to qMax, types, parities, bounds,
// exclusion of 1 and every paging answer (or the answers `pages` when not
// empty); under constraints a maximum for xn up to about mMax, which keeps
// the plain walk short.
std::string seanceAuHasard(std::mt19937& g, long qMax, long mMax, const std::string& pages = "");

}  // namespace essai

#endif
