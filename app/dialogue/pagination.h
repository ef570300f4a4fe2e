// The dialogue's display of the expansions: the heading before the first,
// each one numbered, and after each page the paging question, whose answer
// says how the listing goes on (the next K, all of them, stop, or one in
// every K counted without more questions).
#ifndef EGYPTE_DIALOGUE_PAGINATION_H
#define EGYPTE_DIALOGUE_PAGINATION_H

#include <NTL/ZZ.h>

#include <vector>

#include "egypte/egypte.h"

namespace egypte {

class Pagination : public Recepteur {
public:
    // The problem's type and whether 1 is excluded, for the heading.
    Pagination(int type, bool sansUn) : type_(type), sansUn_(sansUn) {}

    void longueur(int n, bool seule) override;
    Suite recevoir(const Developpement& x, std::int64_t numero) override;

    // The paging mode: K > 0 the next K, 0 all, -1 stop, < -1 one in every
    // -L (1 until the first question).
    const NTL::ZZ& mode() const { return L_; }
    // The single expansion of a length settled without a walk, which is not
    // shown in the table.
    const std::vector<NTL::ZZ>& seule() const { return seule_; }

private:
    const int type_;
    const bool sansUn_;
    int n_ = 0;
    bool estSeule_ = false;
    NTL::ZZ L_{1};
    std::int64_t K2_ = 0;  // expansions shown since the last paging question (L > 0)
    std::vector<NTL::ZZ> seule_;

    void entete() const;
};

}  // namespace egypte

#endif
