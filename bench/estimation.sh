#!/usr/bin/env bash
# The size estimate (--estimer) against the exact counts, each figure beside
# its goal: for each problem, RUNS runs of SECONDS seconds (20 of 10 s by
# default), how many come within 25 % of the count (goal: 19 of 20) and how
# many have the count within their error bar, one standard error and two
# (goal: 17 of 20). The counts are those of the search itself (--compter).
# Each run takes its seconds on one thread whatever the machine: run it on an
# idle one, as the others' work slows the probes and so the estimate.
#   bash bench/estimation.sh [BUILD] [RUNS] [SECONDS]   (BUILD: build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
egypte="${1:-build-tests}/egypte"
runs="${2:-20}"
secondes="${3:-10}"
echo "charge au depart : $(cut -d' ' -f1-3 /proc/loadavg)"

mesurer() {  # mesurer COUNT ARGS...: the runs of one problem against its count
  local vrai=$1
  shift
  local resultats=()
  for ((k = 0; k < runs; k++)); do
    resultats+=("$("$egypte" --estimer --json --duree "$secondes" --fils 1 "$@" |
      python3 -c 'import json, sys; j = json.load(sys.stdin); print(j["solutions"], j["solutions_erreur"], j["duree"])')")
  done
  printf '%s\n' "${resultats[@]}" | python3 -c '
import sys
vrai, runs = float(sys.argv[1]), int(sys.argv[2])
rows = [tuple(map(float, l.split())) for l in sys.stdin if l.strip()]
dans = sum(abs(e / vrai - 1) <= 0.25 for e, s, d in rows)
un = sum(abs(e - vrai) <= s for e, s, d in rows)
deux = sum(abs(e - vrai) <= 2 * s for e, s, d in rows)
rapports = sorted(e / vrai for e, s, d in rows)
print("  a 25 %% pres : %d sur %d (but : 19 sur 20) ; le compte dans l'\''erreur type : %d, dans deux erreurs type : %d (but : 17 sur 20)"
      % (dans, runs, un, deux))
print("  estimation / compte : %s" % " ".join("%.2f" % r for r in rapports))
print("  duree : %.1f a %.1f s" % (min(d for e, s, d in rows), max(d for e, s, d in rows)))
' "$vrai" "$runs"
}

echo "1/1 --longueur 8 (151182379) :"
mesurer 151182379 1/1 --longueur 8
echo "--repetitions 1/1 --longueur 8 (159330691) :"
mesurer 159330691 --repetitions 1/1 --longueur 8
echo "3/4 --longueur 7 (18722680) :"
mesurer 18722680 3/4 --longueur 7
echo "charge a la fin : $(cut -d' ' -f1-3 /proc/loadavg)"
