#!/usr/bin/env bash
# Installs what is missing, builds egypte with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependances.sh
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DEGYPTE_TESTS=ON
cmake --build build-tests -j2
ctest --test-dir build-tests --output-on-failure -j2
