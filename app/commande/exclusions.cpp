// The options that cannot go together: one table, from which the parser
// refuses (commande.cpp) and the help states them (aide.cpp).
#include "commande/commande.h"

#include <cstddef>
#include <string>

namespace egypte {

const std::vector<Exclusion>& exclusions()
{
    using F = Exclusion::Forme;
    static const std::vector<Exclusion> table{
        {F::sExcluent, {"--premieres", "--une-sur", "--compter"}, "une seule facon de montrer"},
        {F::exclut, {"--longueur", "--min-n", "--max-n"}, "la longueur est donnee"},
        // The best expansion is one line: it is not counted, nor shown one in K.
        {F::exclut, {"--meilleur", "--compter", "--premieres", "--une-sur", "--estimer"}, "un seul developpement, le meilleur"},
        {F::exclut, {"--meilleur", "--journal", "--sortie"}, "une ligne et le rapport", true},
        {F::exclut, {"--estimer", "--premieres", "--une-sur", "--journal", "--sortie"}, "l'estimation ne liste rien"},
        {F::exclut, {"--balayer", "--premieres", "--une-sur", "--estimer", "--debut"},
         "un balayage ecrit une ligne par denominateur"},
        {F::sExcluent, {"--compter", "--meilleur", "--au-plus"}, "un resultat par fraction"},
        {F::exclut, {"--numerateur", "--moins-un"}, "la famille M/q a un seul numerateur"},
    };
    return table;
}

namespace {

// "a", "a et b", "a, b et c".
std::string liste(const std::vector<std::string>& noms, std::size_t depuis)
{
    std::string s;
    for (std::size_t k = depuis; k < noms.size(); k++) {
        if (k > depuis) s += k + 1 == noms.size() ? " et " : ", ";
        s += noms[k];
    }
    return s;
}

}  // namespace

std::string exclusionsDeLAide()
{
    std::string texte, ligne;
    const auto mot = [&](const std::string& m) {
        if (!ligne.empty() && ligne.size() + 1 + m.size() > 78) {
            texte += ligne + "\n";
            ligne.clear();
        }
        ligne += (ligne.empty() ? "" : " ") + m;
    };
    for (const Exclusion& e : exclusions()) {
        std::string phrase = e.horsBalayage ? "Hors d'un balayage, " : "";
        phrase += e.forme == Exclusion::Forme::exclut ? e.options.front() + " exclut " + liste(e.options, 1)
                                                      : liste(e.options, 0) + " s'excluent";
        phrase += ".";
        std::size_t i = 0;
        while (i < phrase.size()) {
            const std::size_t j = phrase.find(' ', i);
            mot(phrase.substr(i, j == std::string::npos ? std::string::npos : j - i));
            i = j == std::string::npos ? phrase.size() : j + 1;
        }
        texte += ligne + "\n";
        ligne.clear();
    }
    return texte;
}

}  // namespace egypte
