"""Developpements egyptiens de longueur minimale de P/Q : 1/x1 + ... + 1/xn = P/Q, x1 <= ... <= xn, sous contraintes, en entiers de taille quelconque."""
# The package over its compiled part, egypte._egypte: the generator of
# expansions is Python's own, so that it streams and so that closing it (or
# dropping it, or Ctrl-C) stops its search at its next step.
from ._egypte import __version__, _lots, balayer, compter, estimer, longueur_minimale, meilleur

# The compiled functions are the package's: help() and doctest name them so.
for _f in (balayer, compter, estimer, longueur_minimale, meilleur):
    _f.__module__ = __name__
del _f


def developpements(p, q, **contraintes):
    """developpements(p, q, *, longueur=None, repetitions=False, parite=None, min_x1=None,
    max_xn=None, min_n=None, max_n=None, sans_un=False, debut=None, fils=None)

    Les developpements de p/q de longueur minimale (ou de la longueur donnee), chacun un
    tuple (x1, ..., xn) d'entiers, dans l'ordre du parcours (lexicographique decroissant).
    Un generateur : la memoire reste bornee quel que soit le compte, et close() arrete la
    recherche. Ctrl-C l'arrete aussi (KeyboardInterrupt).

    Arguments : p, q, entiers positifs de taille quelconque ; contraintes (mots-cles) : longueur (cette longueur seulement), repetitions (True : des inconnues
    peuvent etre egales), parite ("paire", "impaire" ou "indifferente"), min_x1, max_xn, min_n, max_n,
    sans_un (True : 1 exclu pour x1), debut (les premiers denominateurs imposes), fils (1 a 1024).

    Exemple :
    >>> list(developpements(4, 5))
    [(2, 5, 10), (2, 4, 20)]"""
    return _suite(_lots(p, q, **contraintes))


def _suite(lots):
    try:
        for lot in lots:
            yield from lot
    finally:
        lots.close()
