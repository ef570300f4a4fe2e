// Validated console input. A token is read whole, whatever its length, and
// judged by the grammar of its input code; a refused token brings the prompt
// back, silently. Only the part of a token that can still be valid is kept,
// so a long run of garbage costs no memory.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "dialogue/dialogue.h"
#include "dialogue/interruption.h"

namespace egypte {

using NTL::ZZ;

char message[200];
std::string entree;
ZZ valeur;
int valeur2;
int xn;
int refaire;
int l;
std::int64_t l1;
std::int64_t a1;

namespace {

bool blanc(int c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool signe(int c) { return c == '+' || c == '-'; }

// Whether the character at position pos can still belong to an accepted token
// of code cas; after the first character that cannot, the token is refused
// and the rest of it need not be kept.
bool gardable(int cas, std::int64_t pos, int c)
{
    if (cas <= 3) return pos == 0;
    if (std::isdigit(static_cast<unsigned char>(c))) return true;
    return pos == 0 && signe(c);
}

// Reads the next token into entree (its keepable beginning) and l1 (its whole
// length). Returns false when the input has no token left.
bool lireJeton(int cas)
{
    std::streambuf* sb = std::cin.rdbuf();
    entree.clear();
    l1 = 0;
    if (sb == nullptr) return false;
    int c = sb->sgetc();
    while (c != EOF && blanc(c)) c = sb->snextc();
    bool garde = true;
    while (c != EOF && !blanc(c)) {
        if (garde) {
            garde = gardable(cas, l1, c);
            entree.push_back(static_cast<char>(c));  // the first refused one is kept too
        }
        l1++;
        c = sb->snextc();
    }
    return l1 > 0;
}

// The scan of codes 4 and 5. Sets refaire to 1 when the token is refused.
void entier(int cas)
{
    refaire = 0;
    a1 = 0;
    // entree ends at the first character that cannot belong to an accepted
    // token, so the scan refuses the token before running past it.
    bool negatif = false;
    while (a1 < l1 && refaire == 0) {
        const char c = entree[static_cast<std::size_t>(a1)];
        if (valtest(c) == 0) {
            refaire = 1;
        } else if (a1 == 0) {
            if (c == '-' && cas == NATUREL) refaire = 1;
            else if (signe(c) && l1 == 1) refaire = 1;
            else if (c == '0' && l1 != 1) refaire = 1;
            negatif = (c == '-');
        } else if (signe(c)) {
            refaire = 1;
        } else if (a1 == 1 && c == '0' && (signe(entree[0]) || entree[0] == '0')) {
            refaire = 1;
        }
        if (refaire == 0) a1++;
    }
    if (refaire == 1) return;
    const std::size_t debut = signe(entree[0]) ? 1 : 0;
    decimal(valeur, entree.data() + debut, entree.size() - debut);
    if (negatif) NTL::negate(valeur, valeur);
    if (cas == NATUREL && xn == 1 && IsZero(valeur)) refaire = 1;
}

FinDeSaisie finDeSaisie = nullptr;

[[noreturn]] void finEntree()
{
    if (finDeSaisie != nullptr) finDeSaisie();
    // Unwinds to main, which ends the run: the paging question may be asked
    // on any thread of a walk, and the other threads must stop first.
    throw FinDeLEntree{};
}

}  // namespace

void decimal(ZZ& v, const char* s, std::size_t len)
{
    if (len <= 18) {
        long d = 0;
        for (std::size_t k = 0; k < len; k++) d = 10 * d + (s[k] - '0');
        v = d;
        return;
    }
    const std::size_t bas = len / 2;
    ZZ haut, p;
    decimal(haut, s, len - bas);
    decimal(v, s + (len - bas), bas);
    power(p, ZZ(10), static_cast<long>(bas));
    mul(haut, haut, p);
    add(v, v, haut);
}

void surFinDeSaisie(FinDeSaisie routine) { finDeSaisie = routine; }

int valtest(char caract1) { return (caract1 >= '0' && caract1 <= '9') || caract1 == '+' || caract1 == '-' ? 1 : 0; }

int controle(int cas, const char* chaine)
{
    refaire = 1;
    l = static_cast<int>(std::strlen(chaine));
    if (cas < OUI_NON || cas > ENTIER) return 0;
    // Ctrl-C at a prompt ends the program, from the moment the prompt shows.
    const InterruptionParDefaut attente;
    while (refaire == 1) {
        std::cout.write(chaine, l);
        std::cout.flush();
        if (!lireJeton(cas)) finEntree();
        if (cas <= PARITE) {
            const char c = entree[0];
            const bool chiffre = l1 == 1 && c >= '0' && c <= '2';
            const int v = c - '0';
            const bool admis = chiffre && (cas == OUI_NON   ? v <= 1
                                           : cas == TYPE    ? v >= 1
                                                            : true);
            if (admis) {
                valeur2 = v;
                refaire = 0;
            }
        } else {
            entier(cas);
        }
    }
    return 0;
}

}  // namespace egypte
