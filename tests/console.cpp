#include "console.h"

#include "search/recherche.h"

namespace essai {

Console::Console(const std::string& entree)
    : in_(entree), ancienIn_(std::cin.rdbuf(in_.rdbuf())), ancienOut_(std::cout.rdbuf(out_.rdbuf()))
{
}

Console::~Console()
{
    std::cin.rdbuf(ancienIn_);
    std::cout.rdbuf(ancienOut_);
}

std::string Console::reste()
{
    std::string r;
    std::getline(in_, r, '\0');
    return r;
}

std::vector<Developpement> lignesSolutions(const std::string& texte)
{
    std::vector<Developpement> liste;
    const std::string tete = "\t \t \t ";
    std::size_t pos = 0;
    while ((pos = texte.find(tete, pos)) != std::string::npos) {
        pos += tete.size();
        const std::size_t fin = texte.find('\n', pos);
        std::istringstream ligne(texte.substr(pos, fin - pos));
        long numero;
        std::string deuxPoints;
        if (!(ligne >> numero >> deuxPoints) || deuxPoints != ":") continue;
        Developpement d;
        long v;
        while (ligne >> v) d.push_back(v);
        liste.push_back(d);
    }
    return liste;
}

std::vector<Developpement> parcourir(const Probleme& pb)
{
    using namespace egypte;
    P = pb.P;
    Q = pb.Q;
    n = pb.n;
    nz = pb.n;
    type = pb.type;
    parite = pb.parite;
    z = parite == 0 ? 1 : 2;
    minx = pb.minx;
    M = pb.M;
    Ma = pb.M;
    pas1 = 0;
    K1 = K2 = K3 = 0;
    m = 0;
    L = 0;  // show every expansion, never ask
    N = 0;
    D = 1;
    x.SetLength(n + 1);
    minr.SetLength(n + 1);
    x1.SetLength(n + 1);
    for (int k = 0; k <= n; k++) {
        clear(x[k]);
        clear(minr[k]);
        clear(x1[k]);
    }
    i = 0;
    Console console("");
    while (i >= 0) {
        if (type == 2) suite2();
        else suite();
    }
    return lignesSolutions(console.sortie());
}

}  // namespace essai
