// The minimal length of every p/q for q up to 100: for each length, the
// first fraction that needs it (1/2, 2/3, 4/5, 8/11, 16/17, 77/79).
#include <egypte/balayage.h>

#include <iostream>

namespace {

class Records : public egypte::RecepteurBalayage {
public:
    egypte::Ecriture recevoir(const egypte::LigneBalayage&, const std::vector<egypte::RecordBalayage>& records) override
    {
        for (const egypte::RecordBalayage& r : records)
            std::cout << r.n << " termes : " << r.p << '/' << r.q << '\n';
        return {};
    }
};

}  // namespace

int main()
{
    egypte::DemandeBalayage d;
    d.q1 = 2;
    d.q2 = 100;
    Records r;
    return egypte::balayer(egypte::Probleme{}, d, r).complet() ? 0 : 1;
}
