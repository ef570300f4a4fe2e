#!/usr/bin/env bash
# The best expansion's speed on one thread, every way of bringing the bound
# on xn down in the same run (an idle machine; one benchmark at a time):
#  - 227/827, 439/881 and 732/733 alone, each way;
#  - every a/b in lowest terms with 0 < a < b < B (B = 200 by default; the
#    fractions not in lowest terms are the same problems again), each way on
#    the whole range in turn, with the slowest fraction.
#   bash bench/meilleur.sh [BUILD] [B] [APPROCHES]
#     BUILD: the build folder (build-tests by default); APPROCHES: a list
#     such as resserrer,dichotomie (every way by default)
set -euo pipefail
cd "$(dirname "$0")/.."
banc="${1:-build-tests}/bench/egypte_meilleur"
jusqua="${2:-200}"
approches="${3:-resserrer,dichotomie,montee}"

"$banc" --approche "$approches" 227/827 439/881 732/733
"$banc" --approche "$approches" --jusqua "$jusqua"
