#!/usr/bin/env bash
# Computes the tables of donnees/ with the program built in BUILD (build-tests
# by default), each with the command that made it and its time in
# donnees/LISEZMOI.md's table (printed here; copy it there).
#   bash scripts/tables.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
egypte="$(pwd)/${1:-build-tests}/egypte"
mkdir -p donnees
cd donnees
# One command, its output into a file, its wall time printed.
mesurer() {
  local fichier="$1"
  shift
  local debut fin
  debut=$(date +%s.%N)
  "$egypte" "$@" > "$fichier"
  fin=$(date +%s.%N)
  printf '| %s | `egypte %s` | %.1f s |\n' "$fichier" "$*" "$(echo "$fin - $debut" | bc)"
}
# "n a(n)" from the JSON lines of a count scan: the field asked, the
# fraction's denominator as n; a field that is null (no expansion) is left out.
extraire() {
  python3 -c '
import json, sys
champ = sys.argv[1]
for ligne in sys.stdin:
    j = json.loads(ligne)
    v = j[champ]
    if v is not None:
        print(j["fraction"].split("/")[1], v)
' "$1"
}
mesurer A073101.txt --balayer 1..10000 --numerateur 4 --longueur 3 --compter
mesurer A075248.txt --balayer 1..10000 --numerateur 5 --longueur 3 --compter
mesurer quatre-distinctes-10000.json --balayer 1..10000 --numerateur 4 --longueur 3 --compter --json
extraire plus_grand_xn < quatre-distinctes-10000.json > A075247.txt
mesurer quatre-repetitions-100000.json --balayer 1..100000 --numerateur 4 --longueur 3 --compter --repetitions --json
extraire solutions < quatre-repetitions-100000.json > A192787.txt
extraire plus_petit_xn < quatre-repetitions-100000.json > A337432.txt
mesurer meilleurs-1000.txt --balayer 2..999 --meilleur
# The JSON lines are the source of the tables extracted; compressed, they stay.
gzip -9f quatre-distinctes-10000.json quatre-repetitions-100000.json
