// Ctrl-C and the status line of a long search: the program through pipes,
// at a real terminal (tmux), and in the process (the step budget).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "harnais.h"
#include "programme.h"
#include "interface/chercher.h"
#include "dialogue/dialogue.h"
#include "commun/progres.h"
#include "commun/avancement.h"
#include "marche/recherche.h"

namespace {

using namespace std::chrono_literals;
using Horloge = std::chrono::steady_clock;
namespace progres = egypte::progres;

const std::string INTERROMPU = " \n \n \t \t Calcul interrompu a la demande de l'utilisateur. \n \n ";
const std::string SUITE = INTERROMPU + std::string(144, '-') + "\n\n\n \t  Nouveau calcul ?  Oui [1] / Fin [0]  :     ";
// 1 as 8 or more distinct unit fractions from x1 = 2: minutes of search, the
// first expansion at once, the others only counted.
const std::string LONGUE = "1 1 1 2 0 2 0 8 9 -1000000000";
// With 40 digits the first bound of a Type 2 walk slides its window for
// longer than anyone waits, in a single step of the walk (found by fuzzing).
const std::string BORNE = "700000000000000000000000000000000000001 1000000000000000000000000000000000000001 "
                          "1 2 0 0 0 6 7";

class Enfant {
public:
    Enfant()
    {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::dup2(out[1], 2);
            ::close(in[1]);
            ::close(out[0]);
            ::execl(EGYPTE_PROGRAMME, EGYPTE_PROGRAMME, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        entree_ = in[1];
        sortie_ = out[0];
    }
    ~Enfant()
    {
        if (pid_ > 0 && !fini_) ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
        fermerEntree();
        ::close(sortie_);
    }
    void taper(const std::string& s) { EXPECT_EQ(::write(entree_, s.data(), s.size()), static_cast<ssize_t>(s.size())); }
    void fermerEntree() { ::close(entree_), entree_ = -1; }
    void signal(int sig) { ::kill(pid_, sig); }
    // Reads until the output shows `motif` after the previous one found (or
    // it is closed, or the time runs out). Returns whether it did.
    bool attendre(const std::string& motif, std::chrono::seconds limite = 30s)
    {
        const auto echeance = Horloge::now() + limite;
        for (;;) {
            const std::size_t trouve = texte.find(motif, depuis_);
            if (trouve != std::string::npos) return depuis_ = trouve + motif.size(), true;
            const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(echeance - Horloge::now());
            pollfd p{sortie_, POLLIN, 0};
            if (reste.count() <= 0) return false;
            if (::poll(&p, 1, static_cast<int>(reste.count())) <= 0) continue;
            char tampon[4096];
            const ssize_t k = ::read(sortie_, tampon, sizeof tampon);
            if (k <= 0) return false;
            texte.append(tampon, static_cast<std::size_t>(k));
        }
    }
    // Reads the output to its end; the exit status.
    int terminer()
    {
        attendre("\x01 never written");
        int statut = 0;
        ::waitpid(pid_, &statut, 0);
        fini_ = true;
        return statut;
    }
    std::string texte;

private:
    pid_t pid_ = -1;
    int entree_ = -1, sortie_ = -1;
    std::size_t depuis_ = 0;
    bool fini_ = false;
};

TEST(Interruption, CtrlCArreteLeCalculEtPasLeProgramme)
{
    // Once the paging answer is read (the two line breaks after it are
    // written), the program is searching again.
    for (const std::string& tape : {LONGUE, BORNE}) {
        Enfant e;
        e.taper("0\n" + tape + "\n");
        ASSERT_TRUE(e.attendre(tape == LONGUE ? "solutions] ?    \t\n\n" : "Majorant pour n, [rentrez zero sinon] ?  : \t"));
        std::this_thread::sleep_for(300ms);
        e.signal(SIGINT);
        ASSERT_TRUE(e.attendre(SUITE, 10s)) << e.texte;
        // A next computation runs as usual: 1/2 with paging answer 1, then the
        // end of the run, exactly as in a run of its own after its first prompt.
        e.taper("1\n1 2 0\n1\n0\n");
        e.fermerEntree();
        const int statut = e.terminer();
        ASSERT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 1) << statut;
        Enfant seule;
        seule.taper("0\n1 2 0\n1\n0\n");
        seule.fermerEntree();
        seule.terminer();
        const std::size_t tete = seule.texte.find("Valeur de P");
        ASSERT_NE(tete, std::string::npos) << seule.texte;
        const std::string fin = SUITE + seule.texte.substr(tete - 4);
        ASSERT_GE(e.texte.size(), fin.size());
        EXPECT_EQ(e.texte.substr(e.texte.size() - fin.size()), fin);
        // Interrupted computations write no report.
        EXPECT_EQ(e.texte.find("FIN DU CALCUL"), e.texte.rfind("FIN DU CALCUL"));
    }
}

TEST(Interruption, CtrlCAUneQuestionTermineLeProgramme)
{
    Enfant e;
    e.taper("0\n");
    ASSERT_TRUE(e.attendre("\n \t Valeur de P ? : \t"));
    e.signal(SIGINT);
    const int statut = e.terminer();
    EXPECT_TRUE(WIFSIGNALED(statut) && WTERMSIG(statut) == SIGINT) << statut;
}

// Searches on one thread, so that where the budget stops them is the same in
// every run; the settings of the status line are reset after each test.
class Progres : public ::testing::Test {
protected:
    // A computation cut after 40 looks (40 * PAS steps); what it writes, or
    // nothing when standard output goes to the end of `fichier`, unbuffered.
    std::string calculer(const std::string& tape, const char* fichier = nullptr, int simple = 0)
    {
        progres::limiter(40);
        egypte::Moteur m;
        m.fils = 1;
        m.simple = simple;
        essai::Console console(tape);
        std::ofstream f;
        f.rdbuf()->pubsetbuf(nullptr, 0);
        if (fichier != nullptr) f.open(fichier, std::ios::app);
        std::streambuf* const avant = fichier != nullptr ? std::cout.rdbuf(f.rdbuf()) : nullptr;
        trouvees = egypte::calcul([&m](const egypte::Probleme& p, const egypte::Demande& d, egypte::Recepteur* r) {
            return egypte::chercher(p, d, r, m);
        });
        if (avant != nullptr) std::cout.rdbuf(avant);
        return console.sortie();
    }
    void TearDown() override
    {
        progres::regler(progres::Reglages{});
        progres::limiter(0);
        egypte::effacerInterruption();
    }
    std::int64_t trouvees = 0;
};

TEST_F(Progres, LeBudgetArreteLaRechercheCommeCtrlC)
{
    // Also inside the slide of a bound, which counts against the budget: the
    // plain walk slides one candidate at a time (the fast search jumps, and
    // since it factors Q's 40 digits it finds BORNE's expansions at once).
    for (const auto& [tape, simple] : {std::pair{LONGUE, 0}, std::pair{LONGUE, 1}, std::pair{BORNE, 1}}) {
        const std::string sortie = calculer(tape, nullptr, simple);
        ASSERT_GE(sortie.size(), INTERROMPU.size());
        EXPECT_EQ(sortie.substr(sortie.size() - INTERROMPU.size()), INTERROMPU);
        EXPECT_EQ(trouvees > 1, tape == LONGUE);
    }
}

TEST_F(Progres, LaLigneEstEffaceeAvantToutTexteEtAbsenteSansTerminal)
{
    const std::string simple = calculer(LONGUE);
    for (bool terminal : {false, true}) {
        // Standard output and the status line, drawn at every look, into one file.
        char chemin[] = "/tmp/egypte-progres-XXXXXX";
        const int fd = ::mkstemp(chemin);
        ASSERT_TRUE(fd >= 0 && ::fcntl(fd, F_SETFL, O_APPEND) == 0);
        progres::Reglages r;
        r.fd = fd;
        r.memeSansTerminal = terminal;  // a file is no terminal
        r.delai = r.intervalle = std::chrono::milliseconds(0);
        progres::regler(r);
        calculer(LONGUE, chemin);
        ::close(fd);
        const std::string melange = essai::lire(chemin);
        ::unlink(chemin);
        // A drawing is a carriage return and the status text, redrawings pad
        // with blanks, an erasure is a carriage return, blanks, a carriage
        // return; no text of standard output falls between them.
        const std::regex trace("(\r  recherche n = 8   x1 = [0-9]+   x2 = [0-9]+   solutions : [0-9]+ *)+\r +\r");
        const long traces = std::distance(std::sregex_iterator(melange.begin(), melange.end(), trace), {});
        EXPECT_EQ(traces > 0, terminal) << traces;
        EXPECT_EQ(std::regex_replace(melange, trace, ""), simple);
    }
}

// Runs a shell command; what it writes and its exit status.
std::string executer(const std::string& commande, int* statut = nullptr)
{
    std::string sortie;
    FILE* f = ::popen((commande + " 2>&1").c_str(), "r");
    char tampon[4096];
    for (std::size_t k; f != nullptr && (k = std::fread(tampon, 1, sizeof tampon, f)) > 0;) sortie.append(tampon, k);
    const int s = f != nullptr ? ::pclose(f) : -1;
    if (statut != nullptr) *statut = s;
    return sortie;
}

// A tmux server of the test's own, ended with the test; skipped where tmux
// cannot run.
class Terminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int pty = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (pty < 0) GTEST_SKIP() << "no pseudo-terminal can be opened on this machine";
        ::close(pty);
        int statut = -1;
        executer("command -v tmux", &statut);
        if (statut != 0) GTEST_SKIP() << "tmux is not installed (scripts/dependances.sh installs it)";
    }
    void TearDown() override { executer(tmux + " kill-server"); }
    // A session of the given size running `commande`.
    void lancer(int largeur, int hauteur, const std::string& commande)
    {
        int statut = -1;
        executer(tmux + " new-session -d -s egypte -x " + std::to_string(largeur) + " -y " +
                     std::to_string(hauteur) + " " + essai::entreQuotes(commande), &statut);
        ASSERT_EQ(statut, 0) << "tmux cannot start a session here";
    }
    std::string ecran() { return executer(tmux + " capture-pane -p -J -S -1000 -t egypte"); }
    const std::string tmux = "TERM=xterm tmux -f /dev/null -L egypte-essai-" + std::to_string(::getpid());
};

TEST_F(Terminal, CtrlCPendantUneLongueRecherche)
{
    // 200 columns, so that the line of 144 hyphens fits.
    ASSERT_NO_FATAL_FAILURE(lancer(200, 60, "exec '" EGYPTE_PROGRAMME "'"));
    auto attendre = [&](const std::string& texte) {
        for (auto fin = Horloge::now() + 20s; Horloge::now() < fin; std::this_thread::sleep_for(50ms))
            if (ecran().find(texte) != std::string::npos) return true;
        return false;
    };
    auto taper = [&](const std::string& texte) { executer(tmux + " send-keys -t egypte -l -- '" + texte + "'"); };
    auto touche = [&](const std::string& nom) { executer(tmux + " send-keys -t egypte " + nom); };

    ASSERT_TRUE(attendre("Afficher des explications")) << ecran();
    taper("0");
    touche("Enter");
    ASSERT_TRUE(attendre("Valeur de P ?")) << ecran();
    taper(LONGUE.substr(0, LONGUE.rfind(' ')));  // the paging answer once asked
    touche("Enter");
    ASSERT_TRUE(attendre("Nombre K de solutions suivantes")) << ecran();
    taper("-1000000000");
    touche("Enter");
    // After a second of search the status line shows on the terminal.
    ASSERT_TRUE(attendre("  recherche n = 8   x1 = ")) << ecran();
    EXPECT_NE(ecran().find("   solutions : "), std::string::npos) << ecran();

    // Ctrl-C: the message, and the status line gone from the screen (the
    // pipes' test holds the bytes that follow and what comes next).
    touche("C-c");
    ASSERT_TRUE(attendre("Nouveau calcul ?")) << ecran();
    const std::string apres = ecran();
    EXPECT_NE(apres.find("Calcul interrompu a la demande de l'utilisateur."), std::string::npos) << apres;
    EXPECT_EQ(apres.find("recherche n ="), std::string::npos) << apres;
}

TEST_F(Terminal, LaLigneDuBalayageSurLErreurStandardEtDansLaLargeur)
{
    const std::string sortie = essai::temporaire("ligne.out"), erreurs = essai::temporaire("ligne.err");
    const std::string balayage = "'" EGYPTE_PROGRAMME "' --balayer 3..5 --numerateur 2 --compter --longueur 6 --fils 1";
    // Standard output to a file, standard error at the terminal: the line is
    // drawn, then nothing of it is left; then the other way round, and the
    // line is not written into the file that takes standard error. The
    // terminal, of 40 columns, is narrower than the scan's status line: it
    // must be cut, or its wrapped rows would stay on the screen.
    ASSERT_NO_FATAL_FAILURE(lancer(40, 20, balayage + " > " + sortie + "; echo FINI-UN; " + balayage + " 2> " +
                                               erreurs + " > /dev/null; echo FINI-DEUX; sleep 60"));
    bool vue = false;
    std::string fin;
    for (auto limite = Horloge::now() + 120s; Horloge::now() < limite; std::this_thread::sleep_for(30ms)) {
        fin = executer(tmux + " capture-pane -p -t egypte");
        vue = vue || fin.find("q = 4 (jusqu") != std::string::npos;
        if (fin.find("FINI-DEUX") != std::string::npos) break;
    }
    ASSERT_NE(fin.find("FINI-DEUX"), std::string::npos) << fin;
    EXPECT_TRUE(vue) << "the status line was never on the screen";
    EXPECT_EQ(fin.find("fractions/s"), std::string::npos) << fin;
    EXPECT_EQ(fin.find("q = "), std::string::npos) << fin;
    EXPECT_EQ(essai::lire(erreurs), "");
    EXPECT_EQ(essai::lire(sortie),
              essai::executer({"--balayer", "3..5", "--numerateur", "2", "--compter", "--longueur", "6"}).sortie);
    essai::effacer({sortie, erreurs});
}

}  // namespace
