#!/usr/bin/env bash
# The fast search when Q has prime factors that machine words do not reach,
# each case once, beside its goal: the first expansion of 2/p for primes p
# just above 2^63, 2^100 and 2^127 and the largest below 2^128 (goal: under a
# second), the whole count of 2/(ab) for two primes of 34 and 35 bits, of 40
# bits and of 50 bits, beside two of 32 bits (a 64-bit denominator: the goal is
# the same time), and the whole count of 2/Q for Q made of four primes of 32
# bits, and of four of 30 bits and two of 45 (goal: under a second; FLINT's
# elliptic curves alone leave both composite). A run is stopped after SECONDES
# (20 by default), which is how a build whose factoring gives up shows.
#   bash bench/facteurs.sh [BUILD] [SECONDES]   (BUILD: build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-tests}"
secondes="${2:-20}"
egypte="$build/egypte"

cas() {
  local nom="$1" but="$2"
  shift 2
  local debut=$EPOCHREALTIME statut=0 sortie
  sortie=$(timeout "$secondes" "$egypte" --json --fils 1 "$@" 2>/dev/null) || statut=$?
  local fin=$EPOCHREALTIME
  local solutions
  solutions=$(printf '%s' "$sortie" | tail -n 1 | grep -o '"solutions":[0-9]*' | cut -d: -f2 || true)
  printf '%-28s %-12s %8.3f s  statut %3d  solutions %s\n' "$nom" "$but" \
    "$(echo "$fin - $debut" | bc)" "$statut" "${solutions:-?}"
}

echo "cas                          but              duree"
cas "2/p, p = 2^63 + 29"          "< 1 s"  --premieres 1 2/9223372036854775837
cas "2/p, p = 2^100 + 277"        "< 1 s"  --premieres 1 2/1267650600228229401496703205653
cas "2/p, p = 2^127 + 29"         "< 1 s"  --premieres 1 2/170141183460469231731687303715884105757
cas "2/p, p = 2^128 - 159"        "< 1 s"  --premieres 1 2/340282366920938463463374607431768211297
cas "2/(ab), a, b de 32 bits"     "reference" --compter 2/18446743979220271189
cas "2/(ab), a, b de 34, 35 bits" "= ref."  --compter 2/300000000700000000247
cas "2/(ab), a, b de 40 bits"     "= ref."  --compter 2/700000000036300000000351
cas "2/(ab), a, b de 50 bits"     "= ref."  --compter 2/633825300114223350089361919699
cas "2/Q, 4 premiers de 32 bits"  "< 1 s"   --compter 2/127354828154081560329610121616823752383
cas "2/Q, 4 de 30, 2 de 45 bits"  "< 1 s"   --compter 2/362221253866128960862289328309523476826882594693494180115740521
