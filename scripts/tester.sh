#!/usr/bin/env bash
# Installs what is missing, builds egypte with its tests and runs them all.
#   bash scripts/tester.sh              the usual build (build-tests/), then the
#                                       examples against an installed prefix
#   bash scripts/tester.sh --sanitize   the same tests, everything built with
#                                       AddressSanitizer and UBSan (build-sanitize/)
#   bash scripts/tester.sh --threads    the tests of the walk and of the scan on several threads,
#                                       built with ThreadSanitizer (build-tsan/)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependances.sh
if [ "${1:-}" = "--threads" ]; then
  cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEGYPTE_TESTS=ON -DEGYPTE_BENCH=OFF -DEGYPTE_TSAN=ON
  cmake --build build-tsan -j2 --target egypte_tests egypte
  ctest --test-dir build-tsan --output-on-failure -j2 -R 'Parallele|Balayage'
elif [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEGYPTE_TESTS=ON -DEGYPTE_BENCH=OFF -DEGYPTE_SANITIZE=ON
  cmake --build build-sanitize -j2
  ctest --test-dir build-sanitize --output-on-failure -j2
else
  cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DEGYPTE_TESTS=ON
  cmake --build build-tests -j2
  ctest --test-dir build-tests --output-on-failure -j2
  # The library installed, and the examples built against it alone.
  bash scripts/exemples.sh build-tests
  # The Python module installed by pip into a fresh environment.
  bash scripts/pip.sh
fi
