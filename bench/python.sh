#!/usr/bin/env bash
# The cost of the Python generator per expansion against the command line's
# count of the same problem, in the same run: 1 as 7 distinct unit fractions
# (245765 expansions) on one thread, each way twice in turn.
#   bash bench/python.sh [BUILD]   (BUILD: the build folder, build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-tests}"
export PYTHONPATH="$PWD/$build/python"
for tour in 1 2; do
  debut=$(date +%s.%N)
  "$build/egypte" --compter --fils 1 1/1 --longueur 7 > /dev/null
  fin=$(date +%s.%N)
  ligne=$(echo "$fin - $debut" | bc)
  /usr/bin/python3 - "$ligne" <<'PY'
import sys, time
import egypte
ligne = float(sys.argv[1])
debut = time.perf_counter()
compte = sum(1 for _ in egypte.developpements(1, 1, longueur=7, fils=1))
generateur = time.perf_counter() - debut
print(f"egypte --compter : {ligne:.3f} s ; generateur Python : {generateur:.3f} s pour {compte} developpements, "
      f"{1e9 * generateur / compte:.0f} ns chacun ; passage en Python : {generateur - ligne:.3f} s "
      f"({(generateur - ligne) / ligne:.1f} fois la recherche)")
PY
done
