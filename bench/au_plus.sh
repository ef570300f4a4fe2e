#!/usr/bin/env bash
# The decision "minimal length at most 8" (src/balayage/au_plus.h), one thread:
#  - every p/q of q = 27500..27539: the fast way alone, the whole decision
#    (with the exact search for what the fast way leaves) and the exact
#    minimal length of each fraction (longueurMinimale), in the same run,
#    each decision held against the exact length (a few minutes);
#  - the fast way and the whole decision near q = 30000 and q = 50000 (20
#    consecutive q each).
#   bash bench/au_plus.sh [BUILD]   (BUILD: the build folder, build-tests by default)
set -euo pipefail
cd "$(dirname "$0")/.."
banc="${1:-build-tests}/tests/egypte_au_plus"
"$banc" 27500 27539 --exact
"$banc" 29990 30009
"$banc" 49981 50000
