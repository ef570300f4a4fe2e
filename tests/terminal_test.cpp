// The program at a real terminal: tmux gives it a pseudo-terminal, the test
// types a session with send-keys and reads the screen with capture-pane, as a
// person would see it: the status line of a long search, Ctrl-C, the message
// and the new-computation question.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using Horloge = std::chrono::steady_clock;

// Runs a shell command and returns what it writes; statut receives its
// exit status.
std::string executer(const std::string& commande, int* statut = nullptr)
{
    std::string sortie;
    FILE* f = ::popen((commande + " 2>&1").c_str(), "r");
    if (f == nullptr) return sortie;
    char tampon[4096];
    std::size_t k;
    while ((k = std::fread(tampon, 1, sizeof tampon, f)) > 0) sortie.append(tampon, k);
    const int s = ::pclose(f);
    if (statut != nullptr) *statut = s;
    return sortie;
}

// A tmux server of the test's own, with one window running the program.
class Terminal {
public:
    Terminal() : serveur_("egypte-essai-" + std::to_string(::getpid())) {}

    ~Terminal() { executer(tmux() + " kill-server"); }

    bool demarrer()
    {
        int statut = -1;
        // A terminal of 200 columns, so that the line of 144 hyphens fits.
        executer(tmux() + " new-session -d -s egypte -x 200 -y 60 \"exec '" EGYPTE_PROGRAMME "'\"", &statut);
        return statut == 0;
    }

    void taper(const std::string& texte) { executer(tmux() + " send-keys -t egypte -l -- '" + texte + "'"); }
    void touche(const std::string& nom) { executer(tmux() + " send-keys -t egypte " + nom); }

    // The screen and the lines that scrolled off it.
    std::string ecran() { return executer(tmux() + " capture-pane -p -J -S -1000 -t egypte"); }

    // Waits until the screen shows `texte`; returns whether it did.
    bool attendre(const std::string& texte, std::chrono::seconds limite = std::chrono::seconds(20))
    {
        const auto echeance = Horloge::now() + limite;
        while (Horloge::now() < echeance) {
            if (ecran().find(texte) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    bool vivant()
    {
        int statut = -1;
        executer(tmux() + " has-session -t egypte", &statut);
        return statut == 0;
    }

private:
    std::string tmux() const { return "TERM=xterm tmux -f /dev/null -L " + serveur_; }
    std::string serveur_;
};

// Whether this machine can give out pseudo-terminals at all.
bool ptyDisponible()
{
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool tmuxPresent()
{
    int statut = -1;
    executer("command -v tmux", &statut);
    return statut == 0;
}

TEST(Terminal, CtrlCPendantUneLongueRecherche)
{
    if (!ptyDisponible()) GTEST_SKIP() << "no pseudo-terminal can be opened on this machine";
    if (!tmuxPresent()) GTEST_SKIP() << "tmux is not installed (scripts/dependances.sh installs it)";
    Terminal t;
    ASSERT_TRUE(t.demarrer()) << "tmux cannot start a session here";
    ASSERT_TRUE(t.attendre("Afficher des explications")) << t.ecran();
    t.taper("0");
    t.touche("Enter");
    ASSERT_TRUE(t.attendre("Valeur de P ?")) << t.ecran();
    // 1 as distinct unit fractions of length 8, x1 at least 2: minutes.
    t.taper("1 1 1 2 0 2 0 8 9");
    t.touche("Enter");
    ASSERT_TRUE(t.attendre("Nombre K de solutions suivantes")) << t.ecran();
    t.taper("-1000000000");
    t.touche("Enter");

    // After a second of search the status line shows on the terminal.
    ASSERT_TRUE(t.attendre("  recherche n = 8   x1 = ")) << t.ecran();
    const std::string pendant = t.ecran();
    EXPECT_NE(pendant.find("   solutions : "), std::string::npos) << pendant;

    t.touche("C-c");
    ASSERT_TRUE(t.attendre("Nouveau calcul ?")) << t.ecran();
    const std::string apres = t.ecran();
    const std::size_t message = apres.find("Calcul interrompu a la demande de l'utilisateur.");
    ASSERT_NE(message, std::string::npos) << apres;
    const std::size_t tirets = apres.find(std::string(144, '-'), message);
    ASSERT_NE(tirets, std::string::npos) << apres;
    EXPECT_LT(tirets, apres.find("Nouveau calcul ?", message)) << apres;
    // The status line is gone from the screen, and the program still runs.
    EXPECT_EQ(apres.find("recherche n ="), std::string::npos) << apres;
    EXPECT_TRUE(t.vivant());

    // Answering 0 ends the program, and with it the terminal.
    t.taper("0");
    t.touche("Enter");
    const auto echeance = Horloge::now() + std::chrono::seconds(10);
    while (t.vivant() && Horloge::now() < echeance) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(t.vivant());
}

}  // namespace
