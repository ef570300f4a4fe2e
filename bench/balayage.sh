#!/usr/bin/env bash
# The scan's speed, each figure beside its goal, the paths against each
# other in the same run (an idle machine; one benchmark at a time):
#  - --balayer 2..2000 (1.2 million fractions) on every core and on one
#    thread; the goals are at most 24.5 s on this 2-core machine and under
#    49 s on one thread;
#  - --balayer 2..27539 --moins-un --premiers: the (p - 1)/p of every prime
#    up to 27539, where 27538/27539 needs 8;
#  - the rate near p = 800000 (the primes of 800000..801000, one thread),
#    the first row of the table of doc/performance.md.
#   bash bench/balayage.sh [BUILD]   (BUILD: the build folder, build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
egypte="${1:-build-tests}/egypte"
sortie=$(mktemp)
trap 'rm -f "$sortie"' EXIT

chrono() {  # chrono NOM ARGS...: the seconds the scan took, its lines kept
  local nom=$1
  shift
  local debut fin
  debut=$(date +%s.%N)
  "$egypte" "$@" > "$sortie"
  fin=$(date +%s.%N)
  echo "$fin - $debut" | bc
}

tous=$(chrono tous --balayer 2..2000)
cp "$sortie" "$sortie.tous"
un=$(chrono un --balayer 2..2000 --fils 1)
cmp -s "$sortie" "$sortie.tous" || { echo "2..2000: different lines on one thread and on every core"; exit 1; }
rm -f "$sortie.tous"
echo "--balayer 2..2000, $(nproc) coeurs : $tous s (but : <= 24.5 s) ; un fil : $un s (but : < 49 s) ; rapport $(echo "scale=3; $tous / $un" | bc)"
grep '^record' "$sortie" | tr '\n' ' '
echo

moinsUn=$(chrono moinsUn --balayer 2..27539 --moins-un --premiers)
echo "--balayer 2..27539 --moins-un --premiers : $moinsUn s ($(grep -vc '^record' "$sortie") premiers ; $(grep '^record 8' "$sortie"))"

loin=$(chrono loin --balayer 800000..801000 --moins-un --premiers --fils 1)
premiers=$(grep -vc '^record' "$sortie")
echo "pres de p = 800000, un fil : $premiers premiers en $loin s, $(echo "scale=3; $loin / $premiers" | bc) s chacun ; longueurs : $(grep -v '^record' "$sortie" | cut -d' ' -f2 | sort | uniq -c | tr -s ' ' | tr '\n' ';')"
