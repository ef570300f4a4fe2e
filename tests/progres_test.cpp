// The status line of a long search and the step budget. The status line and
// standard output are sent to one file, in the order they are written, so the
// test sees what a terminal would receive.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>

#include "console.h"
#include "output/progres.h"
#include "search/etat.h"
#include "search/recherche.h"

namespace {

using namespace egypte;
using essai::Console;

// Writes straight to a file descriptor, unbuffered.
class VersFd : public std::streambuf {
public:
    explicit VersFd(int fd) : fd_(fd) {}

protected:
    int overflow(int c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return ::write(fd_, &ch, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize k) override
    {
        return ::write(fd_, s, static_cast<std::size_t>(k));
    }

private:
    int fd_;
};

std::string contenu(const std::string& chemin)
{
    std::ifstream in(chemin, std::ios::binary);
    std::ostringstream o;
    o << in.rdbuf();
    return o.str();
}

// Length of the digits at s[k...].
std::size_t chiffres(const std::string& s, std::size_t k)
{
    std::size_t d = 0;
    while (k + d < s.size() && s[k + d] >= '0' && s[k + d] <= '9') d++;
    return d;
}

// Length of the drawing "\r  recherche n = 8   x1 = 3   x2 = 7   solutions : 12"
// and its padding at s[k...]; 0 when there is none.
std::size_t dessin(const std::string& s, std::size_t k)
{
    const char* const morceaux[] = {"\r  recherche n = 8   x1 = ", "   x2 = ", "   solutions : "};
    std::size_t p = k;
    for (const char* m : morceaux) {
        const std::string mot(m);
        if (s.compare(p, mot.size(), mot) != 0) return 0;
        p += mot.size();
        const std::size_t d = chiffres(s, p);
        if (d == 0) return 0;
        p += d;
    }
    while (p < s.size() && s[p] == ' ') p++;
    return p - k;
}

// s without its status traces: one or more drawings, then their erasure.
// Counts the traces; a drawing that is not erased before other text is left
// in place, so that the comparison shows it.
std::string sansTraces(const std::string& s, std::size_t& traces)
{
    std::string r;
    std::size_t k = 0;
    while (k < s.size()) {
        std::size_t p = k, d;
        while ((d = dessin(s, p)) > 0) p += d;
        if (p > k && p < s.size() && s[p] == '\r') {
            std::size_t q = p + 1;
            while (q < s.size() && s[q] == ' ') q++;
            if (q > p + 1 && q < s.size() && s[q] == '\r') {
                traces++;
                k = q + 1;
                continue;
            }
        }
        r += s[k++];
    }
    return r;
}

// Resets the settings of the module after each test. The searches run on one
// thread, so that where the budget stops them is the same in every run.
class Progres : public ::testing::Test, public egypte::Recherche {
protected:
    // A computation on a fresh search, as the program starts each one.
    void relancer()
    {
        static_cast<egypte::Recherche&>(*this) = egypte::Recherche();
        fils = 1;
        calcul();
    }
    void TearDown() override
    {
        progres::regler(progres::Reglages{});
        progres::limiter(0);
        interrompu = false;
    }
};

// 1 as distinct unit fractions of length 8, counting only: minutes of search,
// cut by the budget after 40 looks (40 * PAS steps).
const std::string LONGUE = "1 1 1 2 0 2 0 8 9 -1000000000";

TEST_F(Progres, LeBudgetArreteLaRechercheCommeCtrlC)
{
    progres::limiter(40);
    Console console(LONGUE);
    relancer();
    const std::string s = console.sortie();
    const std::string fin = " \n \n \t \t Calcul interrompu a la demande de l'utilisateur. \n \n ";
    ASSERT_GE(s.size(), fin.size());
    EXPECT_EQ(s.substr(s.size() - fin.size()), fin);
    EXPECT_GT(K1, 1);
}

// Found by the dialogue fuzz target: here the first bound of the walk slides
// its window for longer than anyone waits, inside one step. The slide counts
// against the budget, so the search still stops, with the same message.
TEST_F(Progres, LeBudgetArreteUneBorneInterminable)
{
    progres::limiter(40);
    Console console("700000000000000000000000000000000000001 1000000000000000000000000000000000000001 "
                    "1 2 0 0 0 6 7 -2");
    relancer();
    const std::string s = console.sortie();
    const std::string fin = " \n \n \t \t Calcul interrompu a la demande de l'utilisateur. \n \n ";
    ASSERT_GE(s.size(), fin.size());
    EXPECT_EQ(s.substr(s.size() - fin.size()), fin);
    EXPECT_EQ(K1, 0);
}

TEST_F(Progres, SansTerminalRienNEstEcrit)
{
    char chemin[] = "/tmp/egypte-progres-XXXXXX";
    const int fd = ::mkstemp(chemin);
    ASSERT_GE(fd, 0);
    progres::Reglages r;
    r.fd = fd;  // a file is not a terminal
    r.delai = std::chrono::milliseconds(0);
    r.intervalle = std::chrono::milliseconds(0);
    progres::regler(r);
    progres::limiter(40);
    {
        Console console(LONGUE);
        relancer();
    }
    ::close(fd);
    EXPECT_EQ(contenu(chemin), "");
    ::unlink(chemin);
}

TEST_F(Progres, LaLigneEstEffaceeAvantToutTexte)
{
    // What the computation writes without a status line.
    progres::limiter(40);
    std::string simple;
    {
        Console console(LONGUE);
        relancer();
        simple = console.sortie();
    }

    // The same computation with the status line drawn at every look, both
    // streams into one file.
    char chemin[] = "/tmp/egypte-progres-XXXXXX";
    const int fd = ::mkstemp(chemin);
    ASSERT_GE(fd, 0);
    progres::Reglages r;
    r.fd = fd;
    r.memeSansTerminal = true;
    r.delai = std::chrono::milliseconds(0);
    r.intervalle = std::chrono::milliseconds(0);
    progres::regler(r);
    {
        VersFd versFichier(fd);
        std::istringstream in(LONGUE);
        std::streambuf* ancienIn = std::cin.rdbuf(in.rdbuf());
        std::streambuf* ancienOut = std::cout.rdbuf(&versFichier);
        relancer();
        std::cout.flush();
        std::cin.rdbuf(ancienIn);
        std::cout.rdbuf(ancienOut);
    }
    ::close(fd);
    const std::string melange = contenu(chemin);
    ::unlink(chemin);

    // A drawing is a carriage return and the status text, redrawings pad
    // with blanks, and an erasure is a carriage return, blanks, a carriage
    // return. Text of standard output never falls between them.
    std::size_t traces = 0;
    EXPECT_EQ(sansTraces(melange, traces), simple);
    EXPECT_GE(traces, 1u);
}

}  // namespace
