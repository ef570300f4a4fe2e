// The journal of a long computation: one line per finished work unit, each
// written and flushed to the disk before the next unit counts as done, so
// that a computation stopped at any moment (Ctrl-C, a killed process, a
// machine that stops) resumes where it stood and ends with the report an
// uninterrupted run gives.
//
// The file is text: a heading that names the computation (the problem, what
// is shown, the version of the cutting into units), then records:
//   L n              the length n was walked to the end without an expansion
//   D n k            the work units of length n are cut at depth k
//   U n j K1 m m1 o  unit j of length n is done; after it K1 expansions were
//                    found, m is the largest xn, m1 the smallest x1, and the
//                    listing file holds o bytes
// each followed by a checksum of the line, so that a line torn by a stop in
// the middle of its writing is recognised and its unit done again.
#ifndef EGYPTE_SEARCH_JOURNAL_H
#define EGYPTE_SEARCH_JOURNAL_H

#include <NTL/ZZ.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace egypte {

class Journal {
public:
    // What a finished unit leaves behind.
    struct Unite {
        long numero = -1;
        std::int64_t K1 = 0;
        NTL::ZZ m, m1;
        long long octets = 0;
    };

    // Opens (or creates) the journal of the computation named by `entete`
    // (one line). False with a French message in `erreur` when the file
    // cannot be opened or belongs to another computation.
    bool ouvrir(const std::string& chemin, const std::string& entete, std::string& erreur);
    ~Journal();

    bool longueurVide(int n) const { return vides_.count(n) != 0; }
    int profondeur(int n) const;  // 0 = none recorded
    // The last unit recorded for length n (numero -1 when none).
    const Unite& derniere(int n) const;
    bool aDesUnites() const { return !dernieres_.empty(); }

    // Each record is on the disk when these return.
    void noterVide(int n);
    void noterProfondeur(int n, int k);
    void noterUnite(int n, const Unite& u);

private:
    std::FILE* f_ = nullptr;
    std::set<int> vides_;
    std::map<int, int> profondeurs_;
    std::map<int, Unite> dernieres_;
    Unite aucune_;

    void ecrire(const std::string& ligne);
    bool lire(const std::string& ligne);
};

// The checksum that ends every line of the journal (FNV-1a, 64 bits, in hex).
std::string sommeControle(const std::string& texte);

}  // namespace egypte

#endif
