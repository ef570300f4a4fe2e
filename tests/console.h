// Test helpers: run a routine with a typed input and capture what it writes,
// and run one walk of the search to collect its expansions.
#ifndef EGYPTE_TESTS_CONSOLE_H
#define EGYPTE_TESTS_CONSOLE_H

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "search/etat.h"

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
    std::streambuf* ancienIn_;
    std::streambuf* ancienOut_;
};

using Developpement = std::vector<long>;

struct Probleme {
    long P, Q;
    int n;
    int type = 2;
    int parite = 0;
    long minx = 1;  // effective minimum, already of the right parity
    long M = 0;     // effective maximum, already of the right parity; 0 = none
};

// Runs the walk of one length the way the computation drives it, with every
// expansion shown (paging answer 0), and reads the expansions back from the
// solution lines written by the display.
std::vector<Developpement> parcourir(const Probleme& pb);

// The solution lines ("\t \t \t k  :      x1\t \t...") of a transcript.
std::vector<Developpement> lignesSolutions(const std::string& texte);

}  // namespace essai

#endif
