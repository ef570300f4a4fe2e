// The compiled extension egypte._egypte: its functions with their
// documentation. The package egypte (egypte/__init__.py) adds the generator
// `developpements` over _lots, and is what users import.
#include "module.h"

namespace {

#define CONTRAINTES_DOC                                                                                               \
    "Arguments : p, q, entiers positifs de taille quelconque ; contraintes (mots-cles) : longueur (cette longueur "   \
    "seulement), repetitions (True : des inconnues\n"                                                                 \
    "    peuvent etre egales), parite ('paire', 'impaire' ou 'indifferente'), min_x1, max_xn, min_n, max_n,\n"        \
    "    sans_un (True : 1 exclu pour x1), debut (les premiers denominateurs imposes), fils (1 a 1024).\n\n"

const char* const DOC_COMPTER =
    "compter(p, q, **contraintes)\n\nCompte les developpements de longueur minimale : le rapport en dict, "
    "les memes champs que le JSON de la ligne de commande (solutions, longueur_minimale, plus_grand_xn, "
    "plus_petit_x1, plus_petit_xn, complet...).\n\n" CONTRAINTES_DOC
    "Exemple :\n>>> compter(1, 1, longueur=7)['solutions']\n245765";

const char* const DOC_LONGUEUR =
    "longueur_minimale(p, q, **contraintes)\n\nLa longueur minimale d'un developpement de p/q sous ces "
    "contraintes, ou None s'il n'y en a aucun (ValueError : aucune jusqu'a n = 100000).\n\n" CONTRAINTES_DOC
    "Exemple :\n>>> longueur_minimale(732, 733)\n7";

const char* const DOC_MEILLEUR =
    "meilleur(p, q, **contraintes)\n\nLe meilleur developpement de p/q : de longueur minimale (ou de la "
    "longueur donnee), dont le plus grand denominateur est le plus petit, puis le suivant, etc. Le rapport en "
    "dict : meilleur (le tuple, None s'il n'y en a aucun), prouve (la recherche est allee au bout), "
    "longueur_minimale, plus_grand_xn, complet...\n\n" CONTRAINTES_DOC
    "Exemple :\n>>> meilleur(4, 5)['meilleur']\n(2, 5, 10)";

const char* const DOC_BALAYER =
    "balayer(q1, q2, moins_un=False, premiers=False, **contraintes)\n\nPour chaque q de q1 a q2 : "
    "combien de p/q (p < q, premier avec q) demandent 1, 2, 3... termes (longueurs[i - 1]), le plus petit "
    "de ces p (premiers[i - 1]), ceux sans developpement (sans) et ceux dont la recherche s'est arretee a "
    "la limite n = 100000 sans en trouver (limite) ; records : la premiere fraction qui "
    "demande n termes ; complet : le balayage est alle au bout, et aucune fraction n'est restee a la limite.\n\n"
    "Avec compter=True, meilleur=True ou "
    "au_plus=K : un dict par fraction dans fractions (le rapport de compter, celui de meilleur, ou "
    "{p, q, longueur, complet, raison} des seules fractions qui demandent plus de K termes) ; avec l'un "
    "d'eux, numerateur=M donne la famille M/q, une fraction par q (q1 >= 1).\n\n"
    "Arguments : q1 <= q2, de 2 a 2^62 - 1 ; moins_un (True : (q - 1)/q seulement) ; premiers (True : "
    "q premiers seulement) ; les contraintes de compter (sauf debut), pour chaque fraction.\n\n"
    "Exemples :\n>>> balayer(5, 5)['lignes']\n[{'q': 5, 'longueurs': [1, 2, 1], 'premiers': [1, 2, 4], 'sans': 0, 'limite': 0}]\n"
    ">>> [f['solutions'] for f in balayer(1, 5, numerateur=4, longueur=3, compter=True)['fractions']]\n"
    "[0, 0, 1, 1, 2]";

const char* const DOC_ESTIMER =
    "estimer(p, q, secondes=5, graine=0, *, longueur, **contraintes)\n\nEstime par sondages au hasard "
    "(methode de Knuth) le nombre de developpements de la longueur donnee, sans les compter : secondes "
    "de 1 a 86400, graine de 0 (tiree au hasard, rendue dans le resultat) a 2^64 - 1 ; longueur, au "
    "moins 4, est obligatoire ; les autres contraintes comme pour compter.\n\n"
    "Exemple (environ 1.5e8 pour 1 en 8, a quelques pour cent pres) :\n"
    ">>> e = estimer(1, 1, secondes=2, longueur=8)  # doctest: +SKIP\n"
    ">>> e['solutions'], e['solutions_erreur']  # doctest: +SKIP";

}  // namespace

PYBIND11_MODULE(_egypte, m)
{
    namespace py = pybind11;
    namespace e = egypte_python;
    m.doc() = "La partie compilee du paquet egypte, qui seul est a importer.";
    m.attr("__version__") = egypte::version();
    e::declarerLots(m);
    m.def("compter", &e::compter, DOC_COMPTER, py::arg("p"), py::arg("q"));
    m.def("longueur_minimale", &e::longueurMinimale, DOC_LONGUEUR, py::arg("p"), py::arg("q"));
    m.def("meilleur", &e::meilleur, DOC_MEILLEUR, py::arg("p"), py::arg("q"));
    m.def("balayer", &e::balayer, DOC_BALAYER, py::arg("q1"), py::arg("q2"), py::arg("moins_un") = false,
          py::arg("premiers") = false);
    m.def("estimer", &e::estimer, DOC_ESTIMER, py::arg("p"), py::arg("q"), py::arg("secondes") = 5,
          py::arg("graine") = 0);
}
