#!/usr/bin/env bash
# Installs what is missing, builds egypte and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependances.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DEGYPTE_TESTS=OFF -DEGYPTE_BENCH=OFF >/dev/null
cmake --build build -j2 --target egypte >/dev/null
exec ./build/egypte
