// Ctrl-C during a long search, on the built program: the program runs as a
// child process fed through a pipe, receives SIGINT in the middle of a search
// that would last minutes, and must stop that computation only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Horloge = std::chrono::steady_clock;

const std::string TIRETS(144, '-');
const std::string INTERROMPU = " \n \n \t \t Calcul interrompu a la demande de l'utilisateur. \n \n ";
const std::string NOUVEAU = "\n \t  Nouveau calcul ?  Oui [1] / Fin [0]  :     ";
const std::string QUESTION =
    "\n \n \t Nombre K de solutions suivantes a afficher ou autre option :  \n \n \t [K] / "
    "[zero, pas de limite] / [-1, arreter] / [-K (K>1), pas de  limite et affichage toutes "
    "les K solutions] ?    \t";
const std::string EXPLICATIONS = " \n \t  Afficher des explications  ? Oui [1] / Non [0] ?\t: ";

// The program with its standard input and output on pipes.
class Enfant {
public:
    Enfant()
    {
        char chemin[] = "/tmp/egypte-enfant-XXXXXX";
        const int fd = ::mkstemp(chemin);
        if (fd < 0) return;
        ::close(fd);
        erreurs_ = chemin;
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            const int erreurs = ::open(erreurs_.c_str(), O_WRONLY | O_TRUNC);
            ::dup2(erreurs, 2);
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
        if (pid_ > 0 && !fini_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (entree_ >= 0) ::close(entree_);
        if (sortie_ >= 0) ::close(sortie_);
        if (!erreurs_.empty()) ::unlink(erreurs_.c_str());
    }

    bool lance() const { return pid_ > 0; }

    void taper(const std::string& s)
    {
        ASSERT_EQ(::write(entree_, s.data(), s.size()), static_cast<ssize_t>(s.size()));
    }

    void fermerEntree()
    {
        ::close(entree_);
        entree_ = -1;
    }

    void signal(int sig) { ::kill(pid_, sig); }

    // Reads until the output shows `motif` after the previous one found (or
    // the output is closed, or the time runs out). Returns whether it did.
    bool attendre(const std::string& motif, std::chrono::seconds limite = std::chrono::seconds(30))
    {
        const auto echeance = Horloge::now() + limite;
        while (true) {
            const std::size_t trouve = texte_.find(motif, depuis_);
            if (trouve != std::string::npos) {
                depuis_ = trouve + motif.size();
                return true;
            }
            const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(echeance - Horloge::now());
            if (reste.count() <= 0) return false;
            pollfd p{sortie_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(reste.count())) <= 0) continue;
            char tampon[4096];
            const ssize_t k = ::read(sortie_, tampon, sizeof tampon);
            if (k <= 0) return false;
            texte_.append(tampon, static_cast<std::size_t>(k));
        }
    }

    // Reads everything up to the end of the output and the exit status.
    int terminer()
    {
        attendre("\x01\x02 never written");
        int statut = 0;
        ::waitpid(pid_, &statut, 0);
        fini_ = true;
        return statut;
    }

    const std::string& texte() const { return texte_; }

    // What the program wrote on standard error (a file here, no terminal).
    std::string erreurs() const
    {
        std::string r;
        FILE* f = std::fopen(erreurs_.c_str(), "rb");
        if (f == nullptr) return "cannot read " + erreurs_;
        char tampon[4096];
        std::size_t k;
        while ((k = std::fread(tampon, 1, sizeof tampon, f)) > 0) r.append(tampon, k);
        std::fclose(f);
        return r;
    }

private:
    pid_t pid_ = -1;
    int entree_ = -1;
    int sortie_ = -1;
    bool fini_ = false;
    std::string texte_;
    std::size_t depuis_ = 0;
    std::string erreurs_;
};

// What the program writes for the session `saisie`, typed all at once.
std::string reference(const std::string& saisie)
{
    Enfant e;
    if (!e.lance()) return {};
    e.taper(saisie);
    e.fermerEntree();
    e.terminer();
    return e.texte();
}

TEST(Interruption, CtrlCArreteLeCalculEtPasLeProgramme)
{
    Enfant e;
    ASSERT_TRUE(e.lance());
    // No explanations; 1 as distinct unit fractions of length 8 at least,
    // x1 at least 2: minutes of search. The first expansion comes at once,
    // and the paging answer only counts the others.
    e.taper("0\n1 1 1 2 0 2 0 8 9\n-1000000000\n");
    // The two line breaks after the paging answer are written once the
    // answer is read, so from then on the program is searching again.
    ASSERT_TRUE(e.attendre(QUESTION + "\n\n")) << e.texte();
    ::usleep(300 * 1000);
    e.signal(SIGINT);
    ASSERT_TRUE(e.attendre(INTERROMPU + TIRETS + "\n\n" + NOUVEAU)) << e.texte();

    // A next computation runs as usual: 1/2, shown with paging answer 1,
    // then the end of the run.
    e.taper("1\n1 2 0\n1\n0\n");
    e.fermerEntree();
    const int statut = e.terminer();
    ASSERT_TRUE(WIFEXITED(statut)) << "ended by signal " << WTERMSIG(statut);
    EXPECT_EQ(WEXITSTATUS(statut), 1);
    EXPECT_EQ(e.erreurs(), "");

    // The same computation typed in a run of its own gives the same text
    // after the explanations prompt.
    const std::string seule = reference("0\n1 2 0\n1\n0\n");
    const std::size_t tete = seule.find(EXPLICATIONS);
    ASSERT_NE(tete, std::string::npos) << seule;
    const std::string suite = INTERROMPU + TIRETS + "\n\n" + NOUVEAU + seule.substr(tete + EXPLICATIONS.size());
    const std::string& t = e.texte();
    ASSERT_GE(t.size(), suite.size());
    EXPECT_EQ(t.substr(t.size() - suite.size()), suite);
    // Before the interruption: the first expansion and the paging question.
    EXPECT_NE(t.find("\t \t \t 1  :      4\t \t5\t \t6\t \t9\t \t10\t \t15\t \t18\t \t20\t \t\n"), std::string::npos);
    // Interrupted computations write no report.
    EXPECT_EQ(t.find("FIN DU CALCUL"), t.rfind("FIN DU CALCUL"));
}

// Found by the dialogue fuzz target: with numbers of 40 digits the first
// bound of a Type 2 walk slides its window one candidate at a time for
// longer than anyone waits, inside a single step of the walk. Ctrl-C must
// still stop the computation.
TEST(Interruption, CtrlCPendantUneBorneInterminable)
{
    Enfant e;
    ASSERT_TRUE(e.lance());
    e.taper("0\n700000000000000000000000000000000000001 1000000000000000000000000000000000000001 "
            "1 2 0 0 0 6 7\n-2\n");
    ASSERT_TRUE(e.attendre("\n  \t Majorant pour n, [rentrez zero sinon] ?  : \t")) << e.texte();
    ::usleep(500 * 1000);
    e.signal(SIGINT);
    ASSERT_TRUE(e.attendre(INTERROMPU + TIRETS + "\n\n" + NOUVEAU, std::chrono::seconds(10))) << e.texte();
    e.taper("0\n");
    e.fermerEntree();
    const int statut = e.terminer();
    ASSERT_TRUE(WIFEXITED(statut));
    EXPECT_EQ(WEXITSTATUS(statut), 1);
}

TEST(Interruption, CtrlCAUneQuestionTermineLeProgramme)
{
    Enfant e;
    ASSERT_TRUE(e.lance());
    e.taper("0\n");
    ASSERT_TRUE(e.attendre("\n \t Valeur de P ? : \t"));
    e.signal(SIGINT);
    const int statut = e.terminer();
    ASSERT_TRUE(WIFSIGNALED(statut));
    EXPECT_EQ(WTERMSIG(statut), SIGINT);
}

}  // namespace
