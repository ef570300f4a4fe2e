#!/usr/bin/env bash
# At most 8 terms against the exact minimal length, on the same fractions in
# the same run: every p/q of q = 27500..27539, first on every core, then the
# rate of --au-plus 8 on one thread and on every core near q = 30000 and
# q = 50000 (20 consecutive q each; the run's first 2 s build the tables of
# the multipliers once).
#   bash bench/frontiere.sh [BUILD]   (BUILD: the build folder, build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
egypte="${1:-build-tests}/egypte"
secondes() { local d; d=$(date +%s.%N); "$@" > /dev/null; echo "$(date +%s.%N) - $d" | bc; }
auplus=$(secondes "$egypte" --balayer 27500..27539 --au-plus 8)
exact=$(secondes "$egypte" --balayer 27500..27539)
printf '27500..27539 : --au-plus 8 %.2f s, exact %.2f s, rapport %.4f\n' "$auplus" "$exact" "$(echo "$auplus / $exact" | bc -l)"
for plage in 30000..30019 49981..50000; do
  for fils in 1 2; do
    printf '%s, %s fil(s) : %.2f s\n' "$plage" "$fils" "$(secondes "$egypte" --balayer "$plage" --au-plus 8 --fils "$fils")"
  done
done
