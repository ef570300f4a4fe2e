// Fuzz target of the whole dialogue: the bytes are everything the user types
// in one run of the program (banner, explanations, any number of
// computations, paging answers). Each search is stopped after a budget of
// steps, the way Ctrl-C stops it; the end of the bytes ends the run. Output
// goes nowhere: the sanitizers and the time limit are the judges.
#include <cstdint>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "dialogue/dialogue.h"
#include "commun/avancement.h"
#include "marche/recherche.h"

namespace {

struct Epuisee {};

void epuisee() { throw Epuisee{}; }

class Neant : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize k) override { return k; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    using namespace egypte;
    std::istringstream in(std::string(reinterpret_cast<const char*>(donnees), taille));
    Neant neant;
    std::streambuf* ancienIn = std::cin.rdbuf(in.rdbuf());
    std::streambuf* ancienOut = std::cout.rdbuf(&neant);
    surFinDeSaisie(epuisee);
    // 16 looks of 1024 steps: a few milliseconds of search at most.
    progres::limiter(16);
    try {
        programme();
    } catch (const Epuisee&) {
    }
    progres::limiter(0);
    surFinDeSaisie(nullptr);
    std::cin.rdbuf(ancienIn);
    std::cout.rdbuf(ancienOut);
    return 0;
}
