#!/usr/bin/python3
"""The pictures of doc/, drawn from the program and from donnees/.

  longueurs.png       the minimal length of every p/q, q <= 1000 (the Python
                      module, fraction by fraction, held against its scan)
  a192787.png         the counts of 4/n = 1/x + 1/y + 1/z, x <= y <= z, n <= 10^5
                      (donnees/A192787.txt)
  cout-frontiere.png  the cost per q of the decider of --au-plus 8, one
                      thread, prime and composite q apart, timed in one process
                      once its tables are built

  PYTHONPATH=build-tests/python /usr/bin/python3 scripts/images.py [--petit] [--sortie DOSSIER]

--petit draws the same pictures from small ranges (seconds: the tests);
without it, about a minute and a half of processor time. Debian's
python3-matplotlib, Agg backend (no display needed).
"""
import argparse
import math
import os
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.colors import BoundaryNorm, ListedColormap  # noqa: E402

import egypte  # noqa: E402

RACINE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def premier(n):
    if n < 2:
        return False
    d = 2
    while d * d <= n:
        if n % d == 0:
            return False
        d += 1
    return True


def longueurs(qmax, sortie):
    """Every p/q, 1 <= p < q <= qmax: p/q has the minimal length of its reduced
    fraction, asked of the module one fraction at a time; each q's tally is
    then held against the scan's (egypte --balayer)."""
    t = time.process_time()
    reduite = {}
    for q in range(2, qmax + 1):
        for p in range(1, q):
            if math.gcd(p, q) == 1:
                reduite[(p, q)] = egypte.longueur_minimale(p, q, fils=1)
    duree = time.process_time() - t
    balayage = egypte.balayer(2, qmax, fils=1)
    records = balayage["records"]
    for ligne in balayage["lignes"]:
        q = ligne["q"]
        tally = [0] * len(ligne["longueurs"])
        for p in range(1, q):
            if (p, q) in reduite:
                tally[reduite[(p, q)] - 1] += 1
        if tally != ligne["longueurs"]:
            sys.exit(f"images : q = {q}, {tally} fraction par fraction, {ligne['longueurs']} au balayage")
    grille = [[math.nan] * (qmax + 1) for _ in range(qmax + 1)]
    for q in range(2, qmax + 1):
        for p in range(1, q):
            g = math.gcd(p, q)
            grille[p][q] = reduite[(p // g, q // g)]
    plus = max(reduite.values())
    couleurs = ListedColormap(plt.get_cmap("viridis", plus)(range(plus)))
    fig, ax = plt.subplots(figsize=(9, 7.5), dpi=100)
    image = ax.imshow(grille, origin="lower", cmap=couleurs, interpolation="nearest",
                      norm=BoundaryNorm([k + 0.5 for k in range(plus + 1)], plus),
                      extent=(-0.5, qmax + 0.5, -0.5, qmax + 0.5))
    for r in records:
        if r["n"] >= 5:
            ax.plot(r["q"], r["p"], "o", markersize=9, markerfacecolor="none", markeredgecolor="red")
            ax.annotate(f"{r['p']}/{r['q']} : {r['n']}", (r["q"], r["p"]), textcoords="offset points",
                        xytext=(-12, 6), ha="right", color="red")
    barre = fig.colorbar(image, ax=ax, ticks=range(1, plus + 1), shrink=0.85)
    barre.set_label("longueur minimale (nombre de fractions unitaires)")
    ax.set_xlabel("dénominateur q")
    ax.set_ylabel("numérateur p")
    ax.set_title(f"Longueur minimale de p/q en fractions unitaires distinctes, q ≤ {qmax}\n"
                 "(en rouge : la première fraction qui demande 5, 6, 7... termes)")
    fig.savefig(os.path.join(sortie, "longueurs.png"), bbox_inches="tight")
    plt.close(fig)
    print(f"longueurs.png : {len(reduite)} fractions reduites, q <= {qmax}, {duree:.1f} s de processeur")


def a192787(nmax, sortie):
    n, a = [], []
    with open(os.path.join(RACINE, "donnees", "A192787.txt")) as f:
        for ligne in f:
            i, v = map(int, ligne.split())
            if i > nmax:
                break
            n.append(i)
            a.append(v)
    est = [premier(i) for i in n]
    fig, ax = plt.subplots(figsize=(9, 6), dpi=100)
    ax.scatter([i for i, e in zip(n, est) if not e], [v for v, e in zip(a, est) if not e],
               s=1, alpha=0.5, color="tab:blue", linewidths=0, label="n composé")
    ax.scatter([i for i, e in zip(n, est) if e], [v for v, e in zip(a, est) if e],
               s=2, color="tab:red", linewidths=0, label="n premier")
    ax.set_xlabel("n")
    ax.set_ylabel("nombre de solutions")
    ax.set_yscale("log")  # a(1) = 0 alone falls outside
    ax.set_title(f"4/n = 1/x + 1/y + 1/z avec x ≤ y ≤ z : nombre de solutions, n ≤ {nmax} (OEIS A192787)")
    ax.legend(markerscale=8, loc="upper left")
    ax.grid(True, alpha=0.3)
    fig.savefig(os.path.join(sortie, "a192787.png"), bbox_inches="tight")
    plt.close(fig)
    print(f"a192787.png : n <= {nmax}")


def cout(echantillon, sortie):
    """Near each q0 of the sample, the first three primes and the first three
    composite numbers from q0, each q timed alone (processor time) after a
    first scan of the largest ones has built the decider's tables, which a
    process pays once."""
    groupes = []
    for q0 in echantillon:
        premiers, composes, q = [], [], q0
        while len(premiers) < 3 or len(composes) < 3:
            (premiers if premier(q) else composes).append(q)
            q += 1
        groupes.append(premiers[:3] + composes[:3])
    t = time.process_time()
    for q in groupes[-1]:
        egypte.balayer(q, q, au_plus=8, fils=1)
    preparation = time.process_time() - t
    mesures = {True: [], False: []}
    for groupe in groupes:
        for q in groupe:
            t = time.process_time()
            r = egypte.balayer(q, q, au_plus=8, fils=1)
            d = max(time.process_time() - t, 1e-6)  # a logarithmic axis
            if r["fractions"]:
                print(f"q = {q} : {len(r['fractions'])} fractions de plus de 8 termes")
            mesures[premier(q)].append((q, d))
    fig, ax = plt.subplots(figsize=(9, 6), dpi=100)
    for est, nom, couleur in ((True, "q premier", "tab:red"), (False, "q composé", "tab:blue")):
        qs, ds = zip(*mesures[est])
        ax.scatter(qs, ds, color=couleur, label=nom, zorder=3)
        medianes = [sorted(ds[i:i + 3])[1] for i in range(0, len(ds), 3)]
        ax.plot(qs[1::3], medianes, "-", color=couleur, alpha=0.6)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("dénominateur q")
    ax.set_ylabel("temps de processeur pour les p/q de ce q (s)")
    ax.set_title("Coût par q de --au-plus 8 (un fil, tables déjà construites)")
    ax.legend(title="trois q de chaque sorte par point ; trait : médiane")
    ax.grid(True, which="both", alpha=0.3)
    fig.savefig(os.path.join(sortie, "cout-frontiere.png"), bbox_inches="tight")
    plt.close(fig)
    print(f"cout-frontiere.png : tables {preparation:.1f} s, puis")
    for est in (True, False):
        print("  " + ("premiers" if est else "composes") + " : "
              + ", ".join(f"{q} {d:.4f} s" for q, d in mesures[est]))


def main():
    a = argparse.ArgumentParser(description="Les images de doc/.")
    a.add_argument("--petit", action="store_true", help="de petits intervalles (les tests)")
    a.add_argument("--sortie", default=os.path.join(RACINE, "doc"), help="le dossier des images")
    o = a.parse_args()
    os.makedirs(o.sortie, exist_ok=True)
    if o.petit:
        longueurs(40, o.sortie)
        a192787(2000, o.sortie)
        cout([30, 100, 300], o.sortie)
    else:
        longueurs(1000, o.sortie)
        a192787(100000, o.sortie)
        cout([100, 300, 1000, 3000, 10000, 30000, 100000, 300000], o.sortie)


if __name__ == "__main__":
    main()
