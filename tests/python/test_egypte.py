"""The Python module against the command line, with integers of any size,
a search stopped by close() or Ctrl-C, and the refusals."""
import json
import os
import random
import re
import signal
import subprocess
import sys
import threading
import time
from fractions import Fraction

import pytest

import egypte

PROGRAMME = os.environ["EGYPTE_PROGRAMME"]


def ligne_de_commande(args):
    r = subprocess.run([PROGRAMME, "--json", *args], capture_output=True, text=True, check=False)
    lignes = r.stdout.splitlines()
    rapport = json.loads(lignes[-1])
    return [tuple(int(v) for v in l.split()) for l in lignes[:-1]], rapport


def en_options(kw):
    """The command line's options for Python's keyword arguments."""
    options = []
    for cle, v in kw.items():
        options.append("--" + cle.replace("_", "-"))
        if v is not True:
            options.append(",".join(map(str, v)) if isinstance(v, tuple) else str(v))
    return options


def comme_python(v, cle=None):
    """The command line's JSON report as Python gives it: the integers it writes as decimal
    text (so that no reader rounds them) as ints, its lists and debut's "x1,x2" as tuples."""
    if isinstance(v, dict):
        return {k: comme_python(x, k) for k, x in v.items()}
    if isinstance(v, list):
        return tuple(map(int, v))
    if cle == "debut":
        return tuple(map(int, v.split(",")))
    return int(v) if isinstance(v, str) and v.isdigit() else v


def types(v):
    """v with the type of every value beside it: True must not pass for 1, nor "1" for 1."""
    if isinstance(v, dict):
        return {k: types(x) for k, x in v.items()}
    return type(v), tuple(map(types, v)) if isinstance(v, tuple) else v


def test_accord_avec_la_ligne_de_commande():
    g = random.Random(20261207)
    for _ in range(12):
        q = g.randint(2, 40)
        p = g.randint(1, q + 3)
        kw = {"max_xn": g.randint(60, 400), "max_n": 5}
        if g.random() < 0.5:
            kw["repetitions"] = True
        if g.random() < 0.3:
            kw["parite"] = "paire"
        args = [f"{p}/{q}", *en_options(kw)]
        if g.random() < 0.5:
            kw["fils"] = 2
        attendu, rapport = ligne_de_commande(args)
        assert list(egypte.developpements(p, q, **kw)) == attendu, args
        assert types(egypte.compter(p, q, **kw)) == types(comme_python(rapport)), args
        if attendu:
            assert egypte.longueur_minimale(p, q, **kw) == len(attendu[0])


# The reports of compter and meilleur against the command line's --compter
# and --meilleur, whole dicts, nested keys included: bounds past 2^64, a
# reduced fraction, a beginning, no expansion, the length limit, 1 excluded.
@pytest.mark.parametrize("mode", ["compter", "meilleur"])
@pytest.mark.parametrize("p,q,kw", [
    (4, 17, {}),
    (4, 5, {"repetitions": True, "parite": "impaire"}),
    (10, 12, {"parite": "paire"}),
    (6, 4, {"sans_un": True, "max_xn": 2**70}),
    (3, 7, {"max_xn": 10}),
    (1, 5, {"min_n": 10**30}),
    (1, 1, {"longueur": 6, "debut": (2, 5)}),
    (2, 3, {"repetitions": True, "min_n": 2, "max_n": 3, "min_x1": 3}),
    (1, 10**30 + 1, {}),
])
def test_rapports_cle_pour_cle(mode, p, q, kw):
    _, rapport = ligne_de_commande(["--" + mode, f"{p}/{q}", *en_options(kw)])
    assert types(getattr(egypte, mode)(p, q, **kw)) == types(comme_python(rapport))


def test_entiers_de_quarante_chiffres():
    # 3/(2 10^39) in two terms: the first expansion, with 40-digit terms, is exact.
    b = 2 * 10**39
    premier = next(egypte.developpements(3, b))
    assert sum(Fraction(1, x) for x in premier) == Fraction(3, b)
    assert all(x > 10**38 for x in premier)


def test_close_et_generateurs_entrelaces():
    entier5 = list(egypte.developpements(1, 1, longueur=5))
    entier6 = list(egypte.developpements(5, 6, longueur=5))
    g1 = egypte.developpements(1, 1, longueur=5)
    g2 = egypte.developpements(5, 6, longueur=5)
    vus1, vus2 = [], []
    for a, b in zip(g1, g2):
        vus1.append(a)
        vus2.append(b)
    vus1 += list(g1)
    vus2 += list(g2)
    assert vus1 == entier5 and vus2 == entier6
    # 1 as 9 distinct unit fractions: days of search, closed after ten.
    debut = time.monotonic()
    g = egypte.developpements(1, 1, longueur=9)
    dix = [next(g) for _ in range(10)]
    g.close()
    assert len(dix) == 10 and time.monotonic() - debut < 30
    with pytest.raises(StopIteration):
        next(g)


def test_ctrl_c():
    # A signal to the process while it counts (the child processes below
    # take the others); the flag is then cleared: the next search runs whole.
    minuteur = threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT))
    minuteur.start()
    with pytest.raises(KeyboardInterrupt):
        egypte.compter(1, 1, longueur=9)
    minuteur.join()
    assert egypte.compter(1, 1, longueur=5)["solutions"] == 72


# A child process searching 2/((2^127 - 1)(2^89 - 1)) (no expansion for a long
# time) in its main thread and maybe in a second one sends itself SIGINT, then
# reports what each raised, the processor time of the next half second and the
# threads left; five times, SIGINT later each time.
ENFANT = r"""
import json, os, signal, sys, threading, time
import egypte
Q = (2**127 - 1) * (2**89 - 1)
def chercher(f):
    if f == "developpements":
        for _ in egypte.developpements(2, Q, fils=1):
            pass
    else:
        egypte.compter(2, Q, fils=1)
def ailleurs(f, vu):
    try:
        chercher(f)
    except BaseException as e:
        vu.append(type(e).__name__)
principal, autre = sys.argv[1:]
for essai in range(5):
    vu = []
    fil = threading.Thread(target=ailleurs, args=(autre, vu)) if autre != "aucun" else None
    if fil:
        fil.start()
    minuteur = threading.Timer(0.2 + 0.1 * essai, os.kill, (os.getpid(), signal.SIGINT))
    minuteur.start()
    try:
        chercher(principal)
        ici = None
    except KeyboardInterrupt:
        ici = "KeyboardInterrupt"
    minuteur.join()
    if fil:
        fil.join(5)
    t0 = time.process_time()
    time.sleep(0.5)
    cpu = time.process_time() - t0
    print(json.dumps({"ici": ici, "ailleurs": vu, "cpu": cpu, "fils": threading.active_count(),
                      "taches": len(os.listdir("/proc/self/task"))}), flush=True)
"""


@pytest.mark.parametrize("principal,autre", [
    ("developpements", "aucun"),
    ("developpements", "compter"),
    ("compter", "developpements"),
])
def test_ctrl_c_arrete_chaque_recherche(principal, autre):
    r = subprocess.run([sys.executable, "-c", ENFANT, principal, autre], capture_output=True, text=True,
                       timeout=60, check=False)
    essais = [json.loads(l) for l in r.stdout.splitlines()]
    assert len(essais) == 5, r.stderr
    for e in essais:
        assert e["ici"] == "KeyboardInterrupt"
        assert e["ailleurs"] == ([] if autre == "aucun" else ["KeyboardInterrupt"]), e
        # No search goes on: the process sleeps, alone in its main thread.
        assert e["cpu"] < 0.1 and e["fils"] == 1 and e["taches"] == 1, e


@pytest.mark.parametrize("args,kw,erreur,message", [
    ((0, 5), {}, ValueError, "numerateur"),
    ((3, -4), {}, ValueError, "denominateur"),
    ((3.0, 4), {}, TypeError, "p attend un entier, pas 3.0"),
    ((3, 4), {"min_x1": 5, "max_xn": 5}, ValueError, "min_x1 doit etre inferieur a max_xn"),
    ((3, 4), {"longueur": 4, "max_n": 6}, ValueError, "longueur exclut min_n et max_n"),
    ((3, 4), {"repetitions": "oui"}, TypeError, "repetitions attend True ou False, pas 'oui'"),
    ((3, 4), {"repetitions": 2}, TypeError, "repetitions attend True ou False, pas 2"),
    ((3, 4), {"sans_un": 0.5}, TypeError, "sans_un attend True ou False, pas 0.5"),
    ((3, 4), {"parite": "pair"}, ValueError, "parite attend paire, impaire ou indifferente, pas 'pair'"),
    ((3, 4), {"parite": 2}, TypeError, "parite attend paire, impaire ou indifferente, pas 2"),
    ((3, 4), {"fils": 0}, ValueError, "fils attend un entier de 1 a 1024, pas 0"),
    ((3, 4), {"fils": True}, TypeError, "fils attend un entier de 1 a 1024, pas True"),
    ((3, 4), {"longueur": 0}, ValueError, "longueur attend un entier au moins egal a 1, pas 0"),
    ((3, 4), {"min_x1": -1}, ValueError, "min_x1 attend un entier positif ou nul, pas -1"),
    ((3, 4), {"max_xn": "9"}, TypeError, "max_xn attend un entier positif ou nul, pas '9'"),
    ((3, 4), {"debut": [-2]}, ValueError, "debut attend des entiers positifs, pas -2"),
    ((3, 4), {"debut": [5, 5]}, ValueError, "le debut 5,5 repete un denominateur (les inconnues sont toutes differentes ; repetitions)"),
    ((3, 4), {"debut": [5], "max_xn": 4}, ValueError, "le debut 5 depasse max_xn"),
    ((3, 4), {"debut": [2, 2.0]}, TypeError, "debut attend des entiers positifs, pas 2.0"),
    ((3, 4), {"debut": 5}, TypeError, "debut attend une suite d'entiers positifs, pas 5"),
    ((3, 4), {"debut": "25"}, TypeError, "debut attend une suite d'entiers positifs, pas '25'"),
    ((3, 4), {"inconnu": 1}, TypeError, "argument inconnu : inconnu"),
])
def test_refus(args, kw, erreur, message):
    for f in (egypte.compter, egypte.developpements, egypte.longueur_minimale):
        with pytest.raises(erreur, match=re.escape(message)):
            f(*args, **kw)


@pytest.mark.parametrize("f,args,kw,erreur,message", [
    (egypte.estimer, (1, 1), {"secondes": -1}, ValueError, "secondes attend un nombre de 1 a 86400, pas -1"),
    (egypte.estimer, (1, 1), {"secondes": float("nan")}, ValueError, "secondes attend un nombre de 1 a 86400, pas nan"),
    (egypte.estimer, (1, 1), {"secondes": "5"}, TypeError, "secondes attend un nombre de 1 a 86400, pas '5'"),
    (egypte.estimer, (1, 1), {"secondes": True}, TypeError, "secondes attend un nombre de 1 a 86400, pas True"),
    (egypte.estimer, (1, 1), {"graine": -1}, ValueError, "graine attend un entier de 0 a 2^64 - 1, pas -1"),
    (egypte.estimer, (1, 1), {"graine": 2**64}, ValueError, "graine attend un entier de 0 a 2^64 - 1, pas 18446744073709551616"),
    (egypte.balayer, (1, 5), {}, ValueError, "q1 attend un entier de 2 a 2^62 - 1, pas 1"),
    (egypte.balayer, (2, 2**62), {}, ValueError, "q2 attend un entier de 2 a 2^62 - 1, pas 4611686018427387904"),
    (egypte.balayer, (2.0, 5), {}, TypeError, "q1 attend un entier de 2 a 2^62 - 1, pas 2.0"),
    (egypte.balayer, (2, 5), {"moins_un": 1}, TypeError, "moins_un attend True ou False, pas 1"),
    (egypte.balayer, (2, 5), {"debut": [2]}, ValueError, "balayer exclut debut"),
    (egypte.balayer, (1, 3), {"numerateur": 4}, ValueError, "numerateur va avec compter, meilleur ou au_plus"),
])
def test_refus_estimer_balayer(f, args, kw, erreur, message):
    if f is egypte.estimer:
        kw = {"longueur": 6, **kw}
    with pytest.raises(erreur, match=re.escape(message)):
        f(*args, **kw)


def test_arguments_acceptes():
    # The same values that the refusals above turn down when mistyped.
    assert egypte.compter(4, 5, repetitions=False, sans_un=True, parite="indifferente", min_x1=0, max_xn=None,
                          fils=1, debut=(2,))["solutions"] == 2
    e = egypte.estimer(1, 1, 1.0, 2**64 - 1, longueur=4)
    assert e["graine"] == 2**64 - 1 and e["solutions"] == 6


# Either side of the machine words, through every conversion: Python int to
# the library's integers (p, q, the bounds, debut, the lengths, graine) and
# back (the extremes of the count, the bounds as the report echoes them, the
# expansions' values), and past the digits Python reads as decimal text.
GRANDS = {"2^63-1": 2**63 - 1, "2^63": 2**63, "2^63+1": 2**63 + 1, "2^64-1": 2**64 - 1, "2^64": 2**64,
          "2^64+1": 2**64 + 1, "2^127-1": 2**127 - 1, "2^128+1": 2**128 + 1, "10^5000+1": 10**5000 + 1}


class Nomme(int):
    def __str__(self):
        return "nomme"

    __repr__ = __str__


@pytest.mark.parametrize("v", GRANDS.values(), ids=GRANDS.keys())
def test_entiers_autour_des_mots(v):
    for borne in ("min_x1", "max_xn", "max_n"):
        r = egypte.compter(1, v, **{borne: v})
        # A length past the longest searched (100000) is held as the next one.
        echo = min(v, 100001) if borne == "max_n" else v
        assert (r["solutions"], r["plus_grand_xn"], r["plus_petit_x1"], r["contraintes"][borne]) == (1, v, v, echo)
    assert list(egypte.developpements(1, v)) == [(v,)]
    # An int whose text is not its digits (an IntEnum's is its name) crosses by its value.
    assert egypte.compter(1, Nomme(v))["plus_grand_xn"] == v
    # v/(v(v + 1)) = 1/(v + 1); 1/v + 1/(v + 1), the second term after the first given.
    assert list(egypte.developpements(v, v * (v + 1))) == [(v + 1,)]
    assert list(egypte.developpements(2 * v + 1, v * (v + 1), debut=[v])) == [(v, v + 1)]
    # One past v either way leaves nothing.
    assert egypte.compter(1, v, min_x1=v + 1, max_n=1)["solutions"] == 0
    assert egypte.compter(1, v, max_xn=v - 1)["solutions"] == 0
    # Lengths beyond the search's limit lie past every length searched.
    for borne in ("longueur", "min_n"):
        r = egypte.compter(1, 5, **{borne: v})
        assert r["contraintes"][borne] == 100001 and r["raison"] == "limite_longueur"
    if v < 2**64:
        assert egypte.estimer(1, 1, 1, v, longueur=4)["graine"] == v
    # The same values negative keep their sign.
    with pytest.raises(ValueError, match="numerateur"):
        egypte.compter(-v, 5)
    with pytest.raises(ValueError, match="denominateur"):
        egypte.compter(1, -v)
    with pytest.raises(ValueError, match="min_x1 attend un entier positif ou nul"):
        egypte.compter(1, 5, min_x1=-v)


def test_balayer_les_records_publies():
    # The simplest fractions that need 1 to 6 distinct unit fractions (OEIS A097048 / A097049).
    b = egypte.balayer(2, 79, fils=2)
    assert b["complet"]
    assert [(r["n"], r["p"], r["q"]) for r in b["records"]] == [
        (1, 1, 2), (2, 2, 3), (3, 4, 5), (4, 8, 11), (5, 16, 17), (6, 77, 79)]
    cinq = b["lignes"][3]
    assert cinq == {"q": 5, "longueurs": [1, 2, 1], "premiers": [1, 2, 4], "sans": 0, "limite": 0}


def test_exemples_des_docstrings():
    # Every example of the module's docstrings runs and gives what it shows.
    import doctest
    resultat = doctest.testmod(egypte)
    assert resultat.failed == 0 and resultat.attempted >= 4, resultat


def test_balayages_par_fraction():
    # A family's counts are the single counts of each fraction, kept as entered.
    fam = egypte.balayer(1, 12, numerateur=4, longueur=3, compter=True)["fractions"]
    assert [f["fraction"] for f in fam] == ["4/%d" % n for n in range(1, 13)]
    assert [f["solutions"] for f in fam] == [egypte.compter(4, n, longueur=3)["solutions"] for n in range(1, 13)]
    # At most 6 terms up to 733: 732/733 needs 7.
    assert {"p": 732, "q": 733, "longueur": 7, "complet": True, "raison": None} in egypte.balayer(733, 733, au_plus=6)["fractions"]
    # Every expansion of 10^29/1 is longer than the limit n = 100000: not
    # known to have none, in every mode, and the scan is not complete.
    for mode in ({"au_plus": 5}, {"compter": True}, {"meilleur": True}):
        b = egypte.balayer(1, 1, numerateur=10**29, **mode)
        assert b["complet"] is False and b["fractions"][0]["complet"] is False, (mode, b)
        assert b["fractions"][0]["raison"] == "limite_longueur", (mode, b)
    b = egypte.balayer(2, 3, min_n=200000)
    assert b["complet"] is False and [l["limite"] for l in b["lignes"]] == [1, 2] and [l["sans"] for l in b["lignes"]] == [0, 0]
    with pytest.raises(ValueError, match="s'excluent"):
        egypte.balayer(2, 5, compter=True, au_plus=3)
