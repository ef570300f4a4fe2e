// The command line: one computation given as arguments, for scripts and long
// counts. `egypte [options] P/Q` (or `P Q`); no argument at all is the
// interactive dialogue.
#ifndef EGYPTE_COMMANDE_COMMANDE_H
#define EGYPTE_COMMANDE_COMMANDE_H

#include <NTL/ZZ.h>

#include <string>
#include <vector>

#include "egypte/balayage.h"
#include "egypte/egypte.h"

namespace egypte {

class Transport;

// What a command line asks for: one value, one switch (executer) that every
// front end goes through.
enum class Action {
    recherche,   // the expansions of the fraction (the default)
    meilleur,    // --meilleur: its best expansion alone
    estimation,  // --estimer: the size of a count, estimated
    balayage,    // --balayer: a scan of the denominators (no fraction)
    aide,        // --aide / --help
    version,     // --version
};

struct Commande {
    Action action = Action::recherche;
    Probleme probleme;
    // What is shown: every expansion (the default), the first K, one in
    // every K, or the count alone.
    using Montrer = egypte::Montrer;
    Montrer montrer = Montrer::tout;
    NTL::ZZ K{1};              // for premieres and uneSur: at least 1
    bool json = false;         // the report as one JSON object
    std::string journal;       // --journal FICHIER; empty = none
    std::string sortie;        // --sortie FICHIER: the expansions there; empty = standard output
    int fils = 0;              // --fils N; 0 = EGYPTE_FILS or every core
    int duree = 5;             // --duree S: seconds of probes for --estimer
    DemandeBalayage balayage;  // --balayer: its range, mode, --moins-un, --premiers, --fils, --journal
};

// Reads the arguments argv[1..argc-1]. On a usage error (unknown option,
// malformed or non-positive fraction, contradictory bounds, a number where a
// choice is expected, ...) returns false and leaves in `erreur` one line in
// French, without its line break.
bool analyser(int argc, const char* const* argv, Commande& c, std::string& erreur);

// The command line's words for what the library's messages name: its
// options ("--min-x1"), so that a refusal says what to change.
const char* motDeLaLigne(Terme t);

// The help of the command line, in French.
std::string aideCommande();

// Options that cannot go together, and why. The parser refuses from this one
// table, in its order, before it judges any value; the help's paragraph of
// exclusions is written from it (exclusions.cpp).
struct Exclusion {
    enum class Forme {
        exclut,     // the first option excludes each of the others
        sExcluent,  // any two of them exclude each other
    };
    Forme forme;
    std::vector<std::string> options;
    std::string pourquoi;       // said in the refusal, between brackets ("": nothing)
    bool horsBalayage = false;  // only without --balayer
};
const std::vector<Exclusion>& exclusions();
// The help's paragraph written from the table: one sentence per row, cut
// into lines of at most 78 characters.
std::string exclusionsDeLAide();

// Every option the parser knows ("--compter", ...), so that a test can hold
// the help to them.
std::vector<std::string> optionsDeLaLigne();

// The version line.
std::string versionCommande();

// The exit status of a search stopped at the largest length searched, with
// no expansion up to it (the count is not known to be 0), and that of a
// write that failed (the listing, the journal or standard output; one line
// on standard error names the file and the reason).
inline constexpr int STATUT_LIMITE = 3;
inline constexpr int STATUT_ECRITURE = 74;

// Runs the computation (lancement.cpp): the expansions, then the report on
// standard output. Returns the exit status: 0 expansions found, 1 none under
// the constraints, 2 a journal or listing file that cannot be used (with one
// line on standard error; nothing was changed), STATUT_LIMITE, STATUT_ECRITURE,
// 128 + the signal's number when stopped by SIGINT (Ctrl-C), SIGTERM or
// SIGHUP (what was found is written in whole lines, the report says the
// count is incomplete and the journal resumes it).
// With `transport`, the work units go to other processes too (egypte-mpi).
int lancer(const Commande& c, Transport* transport = nullptr);

// What is wrong with the files of a command, "" when nothing: the journal
// and the listing are one file, or standard output is redirected onto one
// of them.
std::string fichiersMeles(const Commande& c);

// The whole command line: the arguments read, then executer. Returns the
// exit status.
int ligneDeCommande(int argc, const char* const* argv);

// Runs what the command asks for, and returns the exit status. With
// `transport`, the work units of a search or a scan go to other processes
// too (egypte-mpi); the other actions run in this process alone.
int executer(const Commande& c, Transport* transport = nullptr);

// Whether the action deals work units to other processes through a Transport.
bool repartie(Action a);

// Runs the scan of --balayer (balayage_lancement.cpp): its lines on standard
// output. Returns the exit status: 0 when the scan went to its end, 2 a
// journal that cannot be used, STATUT_ECRITURE, 128 + the signal's number
// when stopped (one line on standard error says where, and the journal
// resumes there).
int lancerBalayage(const Commande& c, Transport* transport = nullptr);

// Runs the estimate of --estimer (estimation_lancement.cpp): the report of
// the estimate on standard output. Returns the exit status: 0, or 130 when
// stopped by Ctrl-C (the probes complete by then are reported).
int lancerEstimation(const Commande& c);

// The best expansion of the fraction (meilleur_lancement.cpp): its line, then
// the report; the same statuses as lancer.
int lancerMeilleur(const Commande& c);

}  // namespace egypte

#endif
