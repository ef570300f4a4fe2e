// The journal of a long computation: one line per finished work unit, each
// written and synced to the disk before the next unit counts as done, so
// that a computation stopped at any moment (Ctrl-C, a killed process, a
// machine that stops) resumes where it stood and ends with the report an
// uninterrupted run gives.
//
// The file is text: a heading that names the computation (the problem, what
// is shown, where the listing goes, the version of the cutting into units),
// then records (a scan has records of its own, see JournalBalayage):
//   L n                the length n was walked to the end without an expansion
//   D n k              the work units of length n are cut at depth k
//   U n j K1 m m1 mn o h  unit j of length n is done; after it K1 expansions
//                      were found, m is the largest xn, m1 the smallest x1,
//                      mn the smallest xn, the listing file holds o bytes and
//                      h is the checksum of its last line before o ("-" when
//                      o is 0)
// each followed by a checksum of the line, so that a line torn by a stop in
// the middle of its writing is recognised and its unit done again.
//
// A journal is someone's days of computing and the file it names may be
// anything: it is only ever created where no file or an empty one stands,
// a file that does not begin with a journal's heading is refused untouched,
// it is locked for the whole run, and nothing is written into it before the
// caller has checked what it resumes (the heading of a new journal and the
// cut of a torn last line wait for `preparer`).
#ifndef EGYPTE_COMMUN_JOURNAL_H
#define EGYPTE_COMMUN_JOURNAL_H

#include <NTL/ZZ.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "egypte/journal.h"
#include "commun/bilan.h"

namespace egypte {

class Journal {
public:
    // What a finished unit leaves behind.
    struct Unite {
        long numero = -1;
        Bilan bilan;  // the expansions found up to it, with their extremes
        long long octets = 0;
        std::string fin = "-";  // checksum of the listing's last line before `octets`
    };

    Journal() = default;
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    virtual ~Journal();

    // Opens the journal of the computation named by `entete` (one line) and
    // locks it, writing nothing. Throws Erreur (Genre::fichier), with a
    // French message, when the file cannot be opened, is not a regular file,
    // is held by another process, is not a journal, is damaged or belongs to
    // another computation.
    void ouvrir(const std::string& chemin, const std::string& entete);
    // Writes the heading of a new journal, or cuts a torn last line away.
    Ecriture preparer();

    bool nouveau() const { return nouveau_; }
    bool longueurVide(int n) const { return vides_.count(n) != 0; }
    int profondeur(int n) const;  // 0 = none recorded
    // The last unit recorded for length n (numero -1 when none).
    const Unite& derniere(int n) const;
    // The last unit recorded, of any length: what the listing must hold.
    const Unite& derniere() const { return derniere_; }

    // Each record is on the disk when these answer a successful Ecriture,
    // and the reason in French when it could not be written whole.
    Ecriture noterVide(int n);
    Ecriture noterProfondeur(int n, int k);
    Ecriture noterUnite(int n, const Unite& u);

    // Longest line read: a heading holds the fraction, a unit the extremes,
    // numbers of thousands of digits at most.
    static constexpr std::size_t LIGNE_MAX = std::size_t(1) << 24;

protected:
    // One record past the heading, read back; false when it cannot be read.
    virtual bool lire(const std::string& ligne);
    // One record written and synced.
    Ecriture ecrire(const std::string& ligne);

private:
    int fd_ = -1;
    std::string chemin_, entete_;
    bool nouveau_ = false;   // no heading yet: this run writes it
    bool cree_ = false;      // the file did not exist before this run
    bool ecrit_ = false;     // this run wrote into it
    long long bon_ = 0;      // bytes of whole, correct lines
    long long taille_ = 0;   // bytes in the file when read
    std::set<int> vides_;
    std::map<int, int> profondeurs_;
    std::map<int, Unite> dernieres_;
    Unite derniere_, aucune_;

    void lireTout();
    std::string nomCite() const;
};


}  // namespace egypte

#endif
