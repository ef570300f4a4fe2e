// Every expansion of minimal length of a fraction, one per line, in
// decreasing lexicographic order: by default 4/5 = 1/2 + 1/5 + 1/10
// = 1/2 + 1/4 + 1/20.
//     $ ./lister 4 5
//     4/5 = 1/2 + 1/5 + 1/10
//     4/5 = 1/2 + 1/4 + 1/20
#include <egypte/egypte.h>

#include <iostream>

namespace {

// Receives the expansions as the search finds them.
class Ecran : public egypte::Recepteur {
public:
    Ecran(const NTL::ZZ& p, const NTL::ZZ& q) : p_(p), q_(q) {}
    Suite recevoir(const egypte::Developpement& x, std::int64_t) override
    {
        std::cout << p_ << '/' << q_ << " =";
        for (int k = 0; k < x.taille(); k++) std::cout << (k == 0 ? " 1/" : " + 1/") << x[k];
        std::cout << '\n';
        return Suite{};
    }

private:
    NTL::ZZ p_, q_;
};

}  // namespace

int main(int argc, char** argv)
{
    egypte::Probleme f;
    f.numerateur = NTL::conv<NTL::ZZ>(argc > 2 ? argv[1] : "4");
    f.denominateur = NTL::conv<NTL::ZZ>(argc > 2 ? argv[2] : "5");
    try {
        Ecran ecran(f.numerateur, f.denominateur);
        const egypte::Resultat r = egypte::chercher(f, egypte::Demande{}, &ecran);
        return r.solutions > 0 ? 0 : 1;
    } catch (const egypte::Erreur& e) {
        std::cerr << "lister : " << e.what() << '\n';
        return 2;
    }
}
