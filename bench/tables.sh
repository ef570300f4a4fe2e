#!/usr/bin/env bash
# The tables over a family and the best expansions, timed (every core unless
# said):
#  - the counts of 4/n as 3 distinct unit fractions for n <= 10^4, one scan,
#    against a loop of single commands over n <= 2000 (whose time is then
#    multiplied by 5 for the whole range);
#  - the best expansion of 227/827, 439/881 and 732/733, each alone.
# The counts with repeats to 10^5 and the best expansions of every a/b with
# b < 1000 take minutes: `bash scripts/tables.sh` times them.
#   bash bench/tables.sh [BUILD]   (BUILD: the build folder, build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
egypte="${1:-build-tests}/egypte"
secondes() { local d; d=$(date +%s.%N); "$@" > /dev/null; echo "$(date +%s.%N) - $d" | bc; }
printf '4/n, n <= 10^4, une seule commande : %.2f s\n' "$(secondes "$egypte" --balayer 1..10000 --numerateur 4 --longueur 3 --compter)"
boucle() { for n in $(seq 1 2000); do "$egypte" --compter --longueur 3 4/"$n" > /dev/null || true; done; }
printf '4/n, n <= 2000, une commande par n : %.2f s (x5 pour n <= 10^4)\n' "$(secondes boucle)"
for f in 227/827 439/881 732/733; do
  printf 'meilleur %s : %.3f s\n' "$f" "$(secondes "$egypte" --meilleur "$f")"
done
