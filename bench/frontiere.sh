#!/usr/bin/env bash
# The decision "minimal length at most 8" at prime and composite q from 1e5
# to 1e6, one thread, the decider against the former one in the same run
# (egypte_au_plus --ancienne: the four nested multipliers, then the exact
# minimal length for what they leave):
#  - "balayer": the user time of egypte --balayer Q..Q --au-plus 8 --fils 1,
#    the tables' building included;
#  - per decider: the time of the whole decision of every p/q (the tables
#    already built), the share of the fractions left to the exact search
#    and what each of those cost; at the large prime q the former decider is
#    timed on every PAS-th numerator only (its time is then that sample's
#    times PAS: an extrapolation, marked "~");
#  - the stop: egypte --balayer 99991..99991 --au-plus 8 --fils 1 sent SIGINT
#    after 0.1, 0.3 and 0.6 s, how long it takes to exit (with AVANT, the
#    build folder of the former code, the same for it).
#   bash bench/frontiere.sh [BUILD] [AVANT]   (BUILD: build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
avant="${2:-}"
egypte="$build/egypte"
banc="$build/tests/egypte_au_plus"

utilisateur() { /usr/bin/time -f %U "$@" 2>&1 > /dev/null | tail -1; }
# From the benchmark's output: the decision's seconds, the exact calls'
# share and milliseconds each.
lire() { awk '/decision entiere/ {t = $4} /recherche exacte appelee/ {n = $5; s = $7; ms = $12}
              END {gsub(/[(]/, "", s); print t, n, s, ms}'; }

printf '%-9s %-10s %9s | %9s %8s %9s %8s | %11s %8s %9s %8s | %8s\n' q genre balayer nouvelle exactes part ms \
  ancienne exactes part ms rapport
for ligne in "100000 composite 1" "99991 premier 1" "200000 composite 1" "200003 premier 10" \
             "500000 composite 1" "499979 premier 100" "1000000 composite 1" "999983 premier 1000"; do
  set -- $ligne
  q=$1 genre=$2 pas=$3
  b=$(utilisateur "$egypte" --balayer "$q..$q" --au-plus 8 --fils 1)
  read -r tn nn sn mn < <("$banc" "$q" "$q" | lire)
  read -r ta na sa ma < <("$banc" "$q" "$q" --ancienne --pas "$pas" | lire)
  marque=""
  if [ "$pas" -gt 1 ]; then
    ta=$(echo "$ta * $pas" | bc -l)
    na="~$(( na * pas ))"
    marque="~"
  fi
  printf '%-9s %-10s %8.2fs | %8.2fs %8s %9s %8s | %s%9.2fs %8s %9s %8s | %s%7.0f\n' "$q" "$genre" "$b" "$tn" "$nn" "$sn" "$mn" \
    "$marque" "$ta" "$na" "$sa" "$ma" "$marque" "$(echo "$ta / $tn" | bc -l)"
done

# The stop: how long from SIGINT to the exit.
arret() {
  local prog=$1 delai=$2 debut fin
  "$prog" --balayer 99991..99991 --au-plus 8 --fils 1 > /dev/null 2>&1 &
  local pid=$!
  sleep "$delai"
  debut=$(date +%s.%N)
  kill -INT "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
  fin=$(date +%s.%N)
  printf '%.3f' "$(echo "$fin - $debut" | bc -l)"
}
for delai in 0.1 0.3 0.6; do
  printf 'SIGINT apres %s s : sortie en %s s' "$delai" "$(arret "$egypte" "$delai")"
  [ -n "$avant" ] && printf ' (avant : %s s)' "$(arret "$avant/egypte" "$delai")"
  printf '\n'
done
