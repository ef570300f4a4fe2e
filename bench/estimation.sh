#!/usr/bin/env bash
# The size estimate (--estimer) against the exact counts, each figure beside
# its goal: for each problem, RUNS runs of SECONDS seconds (20 of 10 s by
# default), how many come within 25 % of the count (goal: 19 of 20), how many
# have the count within the interval they print, two standard errors about
# the estimate (goal: 17 of 20), and the longest run (goal: SECONDS plus at
# most one second). Then 1 as 9 distinct unit fractions, whose count is not
# known, for 60 s: an estimate with its interval within 61 s. The counts are
# those of the search itself (--compter). Each run probes on one thread:
# others' work on the machine slows the probes and so widens the interval,
# so say the load beside the figures (it is printed at the start and end).
#   bash bench/estimation.sh [BUILD] [RUNS] [SECONDS]   (BUILD: build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
egypte="${1:-build-tests}/egypte"
runs="${2:-20}"
secondes="${3:-10}"
echo "charge au depart : $(cut -d' ' -f1-3 /proc/loadavg)"

lire='import json, sys
j = json.load(sys.stdin)
print(j["solutions"], j["solutions_min"], j["solutions_max"], j["solutions_erreur"], j["duree"])'

mesurer() {  # mesurer COUNT ARGS...: the runs of one problem against its count
  local vrai=$1
  shift
  local resultats=()
  for ((k = 0; k < runs; k++)); do
    resultats+=("$("$egypte" --estimer --json --duree "$secondes" --fils 1 "$@" | python3 -c "$lire")")
  done
  printf '%s\n' "${resultats[@]}" | python3 -c '
import sys
vrai, runs, secondes = float(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
rows = [tuple(map(float, l.split())) for l in sys.stdin if l.strip()]
dans = sum(abs(e / vrai - 1) <= 0.25 for e, a, b, s, d in rows)
barre = sum(a <= vrai <= b for e, a, b, s, d in rows)
un = sum(abs(e - vrai) <= s for e, a, b, s, d in rows)
rapports = sorted(e / vrai for e, a, b, s, d in rows)
erreurs = sorted(s / e for e, a, b, s, d in rows if e > 0)
print("  a 25 %% pres : %d sur %d (but : 19 sur 20)" % (dans, runs))
print("  le compte dans l'\''intervalle imprime (deux erreurs type) : %d sur %d (but : 17 sur 20) ; dans une erreur type : %d"
      % (barre, runs, un))
print("  duree : %.1f a %.1f s (but : au plus %.0f s)" % (min(r[4] for r in rows), max(r[4] for r in rows), secondes + 1))
print("  estimation / compte : %s" % " ".join("%.2f" % r for r in rapports))
print("  erreur type relative : %.1f a %.1f %%" % (100 * erreurs[0], 100 * erreurs[-1]))
' "$vrai" "$runs" "$secondes"
}

echo "1/1 --longueur 8 (151182379) :"
mesurer 151182379 1/1 --longueur 8
echo "--repetitions 1/1 --longueur 8 (159330691) :"
mesurer 159330691 --repetitions 1/1 --longueur 8
echo "3/4 --longueur 7 (18722680) :"
mesurer 18722680 3/4 --longueur 7
echo "1/1 --longueur 9 (compte inconnu), 60 s :"
debut=$(date +%s.%N)
"$egypte" --estimer --duree 60 --fils 1 1/1 --longueur 9 | sed -n 's/^/  /; /solutions\|Sondages/p'
python3 -c 'import sys, time; print("  rendue en %.1f s (but : au plus 61 s)" % (time.time() - float(sys.argv[1])))' "$debut"
echo "charge a la fin : $(cut -d' ' -f1-3 /proc/loadavg)"
