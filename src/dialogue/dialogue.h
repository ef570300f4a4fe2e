// Console dialogue: validated reading of every answer, and the run of the program.
#ifndef EGYPTE_DIALOGUE_DIALOGUE_H
#define EGYPTE_DIALOGUE_DIALOGUE_H

namespace egypte {

// Input codes of controle.
constexpr int OUI_NON = 1;   // the token 0 or 1, left in valeur2
constexpr int TYPE = 2;      // the token 1 or 2, left in valeur2
constexpr int PARITE = 3;    // the token 0, 1 or 2, left in valeur2
constexpr int NATUREL = 4;   // a non-negative integer (positive when xn = 1), left in valeur
constexpr int ENTIER = 5;    // a signed integer, left in valeur

// Writes the prompt chaine and reads one token from standard input until the
// token fits the grammar of code cas; the answer goes to valeur2 or valeur.
// At the end of input it writes one line break and ends the process (status 1).
int controle(int cas, const char* chaine);

// What controle does when standard input has no token left. By default it
// writes one line break and ends the process with status 1; a harness that
// feeds the dialogue from a buffer, and must survive its end, installs its own
// routine, which must not return (it may throw). nullptr restores the default.
using FinDeSaisie = void (*)();
void surFinDeSaisie(FinDeSaisie routine);

// 1 when c is a decimal digit, '+' or '-'; leaves its value in valtest1.
int valtest(char caract1);

// The whole run: banner, explanations, computations, new-computation question.
// Returns the exit status of the process (always 1).
int programme();

}  // namespace egypte

#endif
