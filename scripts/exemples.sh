#!/usr/bin/env bash
# Installs egypte into a fresh prefix from the test build, then builds the
# examples against that prefix alone, as a stranger would: through
# find_package(egypte) and through pkg-config, and checks what they print.
#   bash scripts/exemples.sh [BUILD]   (BUILD: build-tests by default, built)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-tests}"
prefixe=$(mktemp -d)
trap 'rm -rf "$prefixe"' EXIT
cmake --install "$build" --prefix "$prefixe/installe" > /dev/null
cmake -S examples -B "$prefixe/cmake" -DCMAKE_PREFIX_PATH="$prefixe/installe" > /dev/null
cmake --build "$prefixe/cmake" -j2 > /dev/null
drapeaux=$(PKG_CONFIG_PATH="$prefixe/installe/lib/pkgconfig" pkg-config --cflags --libs --static egypte)
# shellcheck disable=SC2086
g++ -std=c++17 -O1 examples/lister.cpp -o "$prefixe/lister-pc" $drapeaux

attendu() {
  local nom="$1" voulu="$2"
  shift 2
  local obtenu
  obtenu=$("$@")
  if [ "$obtenu" != "$voulu" ]; then
    printf 'exemple %s : attendu\n%s\nobtenu\n%s\n' "$nom" "$voulu" "$obtenu" >&2
    exit 1
  fi
}
attendu compter "1 = 1/x1 + ... + 1/x7 : 245765 developpements, xn au plus 10650056950806" "$prefixe/cmake/compter"
attendu lister "$(printf '4/5 = 1/2 + 1/5 + 1/10\n4/5 = 1/2 + 1/4 + 1/20')" "$prefixe/cmake/lister"
attendu lister-pc "$(printf '2/3 = 1/2 + 1/6')" "$prefixe/lister-pc" 2 3
attendu balayer "$(printf '1 termes : 1/2\n2 termes : 2/3\n3 termes : 4/5\n4 termes : 8/11\n5 termes : 16/17\n6 termes : 77/79')" "$prefixe/cmake/balayer"
echo "exemples : installes, construits et justes"
