// Test helpers: the built program run as a user runs it, through the shell.
#ifndef EGYPTE_TESTS_PROGRAMME_H
#define EGYPTE_TESTS_PROGRAMME_H

#include <string>
#include <vector>

namespace essai {

struct Execution {
    int statut;  // the exit status, or 128 + the signal that ended it
    std::string sortie, erreurs;
};

// How to run it: a shell prefix (an environment variable, `ulimit -f 100;`),
// a file that takes its standard output, a signal sent after `limite`
// seconds (timeout's own, the program's status kept).
struct Lancement {
    std::string avant;
    std::string vers;
    bool ajouter = false;  // `>> vers`: the file kept, as a resumed run appends
    double limite = 0;
    const char* signal = "KILL";
};

Execution executer(const std::vector<std::string>& args, const Lancement& l = {});

// A run stopped again and again then resumed: `args` (whose journal and
// file the caller has set) run `arrets` times, each sent the next signal of
// `signaux` after a random delay in [de, a] seconds, then once to its end.
// Each stopped run must end by its signal (or finish: a slow start may
// outlast the delay). `enPlus`, when given, are arguments added in turn to
// each run (the threads changed between runs).
struct Reprise {
    std::vector<std::string> signaux = {"KILL"};
    int arrets = 6;
    double de = 0.05, a = 0.35;
    std::vector<std::vector<std::string>> enPlus;
    unsigned graine = 31;
    // The run's journal and files: removed before the first run, and again
    // when a first run ends before its signal (the machine was slower while
    // the caller measured the times), the stops then three times sooner.
    std::vector<std::string> fichiers;
};
struct Repris {
    std::vector<Execution> arretes;  // the runs ended by their signal
    Execution fin;                   // the run left to finish
};
Repris arreterPuisReprendre(const std::vector<std::string>& args, const Reprise& r = {});

// The whole content of a file ("" when it cannot be read).
std::string lire(const std::string& chemin);
// A name in the tests' temporary folder, of this process alone.
std::string temporaire(const std::string& nom);
// Removes each file.
void effacer(const std::vector<std::string>& chemins);
// A refusal: one line on standard error, "egypte : ..." holding `fragment`.
void uneLigne(const Execution& e, const std::string& fragment);
// Quoted for the shell.
std::string entreQuotes(const std::string& s);

}  // namespace essai

#endif
