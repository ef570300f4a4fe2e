// Console dialogue: validated reading of every answer, and the run of the program.
#ifndef EGYPTE_DIALOGUE_DIALOGUE_H
#define EGYPTE_DIALOGUE_DIALOGUE_H

#include <NTL/ZZ.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "egypte/egypte.h"
#include "sortie/rapport.h"

namespace egypte {

// --- Console input: the values of the last entry (one dialogue, one thread) --
extern char message[200];     // prompt buffer of the run and of the paging question
extern std::string entree;    // the token just read, cut after its first refused character
extern NTL::ZZ valeur;        // value accepted by controle for the integer codes 4 and 5
extern int valeur2;           // value accepted by controle for the choice codes 1 to 3
extern int xn;                // before an integer entry: 1 = zero refused, 0 = zero accepted
extern int refaire;           // 1 = ask again
extern int l;                 // length of the current prompt
extern std::int64_t l1;       // length of the current token (it may be longer than entree)
extern std::int64_t a1;       // number of token characters consumed by the scan

// --- The run -----------------------------------------------------------------
extern int expli;   // 1 = the explanations were asked for
extern int recalc;  // 1 = another computation was asked for

// The messages that end a computation of the dialogue.
// Ends a computation whose constraints leave no length to try.
inline constexpr const char* AUCUNE_SOLUTION =
    " \n \n \t \t Aucune solution compte tenu des contraintes ! \n \n ";
// Ends a computation stopped by Ctrl-C.
inline constexpr const char* INTERROMPU = " \n \n \t \t Calcul interrompu a la demande de l'utilisateur. \n \n ";
// Ends a computation whose next length would pass the largest length searched (LONGUEUR_MAX).
inline constexpr const char* TROP_LONG =
    " \n \n \t \t Longueur trop grande : la recherche est limitee a n = 100000 ! \n \n ";

// Input codes of controle.
constexpr int OUI_NON = 1;   // the token 0 or 1, left in valeur2
constexpr int TYPE = 2;      // the token 1 or 2, left in valeur2
constexpr int PARITE = 3;    // the token 0, 1 or 2, left in valeur2
constexpr int NATUREL = 4;   // a non-negative integer (positive when xn = 1), left in valeur
constexpr int ENTIER = 5;    // a signed integer, left in valeur

// Writes the prompt chaine and reads one token from standard input until the
// token fits the grammar of code cas; the answer goes to valeur2 or valeur.
// At the end of input it throws FinDeLEntree (see surFinDeSaisie).
int controle(int cas, const char* chaine);

// Thrown by controle when standard input has no token left (by default):
// main writes one line break and ends the process with status 1.
struct FinDeLEntree {};

// What controle does when standard input has no token left. By default it
// throws FinDeLEntree; a harness that feeds the dialogue from a buffer
// installs its own routine, which must not return (it may throw). nullptr
// restores the default.
using FinDeSaisie = void (*)();
void surFinDeSaisie(FinDeSaisie routine);

// v <- the number written by the decimal digits s[0..len), by halves so
// that a number of a million digits is read in a moment (the dialogue's
// tokens and the command line's numbers).
void decimal(NTL::ZZ& v, const char* s, std::size_t len);

// 1 when c is a decimal digit, '+' or '-'.
int valtest(char caract1);

// How a computation of the dialogue searches: the library's `chercher` by
// default; the tests and the benchmark pass another way (the plain walk,
// the engine's settings) to hold every path against the reference.
using Chercheur = std::function<Resultat(const Probleme&, const Demande&, Recepteur*)>;

// The set-up questions of one computation: P, Q, the constraints or the
// exclusion of 1, into pb, and the bounds on n as typed into n. False when the computation already ended with its
// message (odd unknowns asked for a fraction they cannot reach).
bool preparation(Probleme& pb, BornesTapees& n);

// One computation of the dialogue: the set-up questions, the search through
// the library (Ctrl-C stops it, not the program; `chercheur`, when set, is
// how), the listing paged by questionPagination, the messages and the
// report. Returns the number of expansions found.
std::int64_t calcul(const Chercheur& chercheur);
void calcul();

// The paging question: writes it, reads the answer (a signed integer) into
// reponse.
void questionPagination(NTL::ZZ& reponse);

// The whole run: banner, explanations, computations, new-computation question.
// Returns the exit status of the process (always 1).
int programme();

}  // namespace egypte

#endif
