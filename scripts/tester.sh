#!/usr/bin/env bash
# Installs what is missing, builds egypte with its tests and runs them all.
#   bash scripts/tester.sh              the usual build (build-tests/), then the
#                                       examples against an installed prefix
#   bash scripts/tester.sh --sanitize   the fast tests and those of files, sessions,
#                                       scans and the command line, built by clang with
#                                       AddressSanitizer and UBSan (build-sanitize/), and
#                                       the fuzz targets' seeds and regressions replayed
#   bash scripts/tester.sh --threads    the tests of the walk and of the scan on several threads,
#                                       built by clang with ThreadSanitizer (build-tsan/)
# The sanitizer builds are optimised and carry line tables only: what they
# report is placed by file and line, and they build and run in a few minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependances.sh
if [ "${1:-}" = "--threads" ]; then
  cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DCMAKE_CXX_COMPILER=clang++ -DEGYPTE_TESTS=ON -DEGYPTE_BENCH=OFF -DEGYPTE_TSAN=ON
  cmake --build build-tsan -j2 --target egypte_tests egypte
  ctest --test-dir build-tsan --output-on-failure -j2 -R 'Parallele|Balayage'
elif [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DCMAKE_CXX_COMPILER=clang++ -DEGYPTE_TESTS=ON -DEGYPTE_BENCH=OFF -DEGYPTE_SANITIZE=ON
  cmake --build build-sanitize -j2 --target egypte egypte_tests saisie_fuzz dialogue_fuzz commande_fuzz
  # The inner loop's tests, then the programs that write files, type whole
  # sessions and scan: the paths where memory is handled. The long kill and
  # resume loops run in the usual build (they test the processes, not memory).
  ctest --test-dir build-sanitize --output-on-failure -j2 -L rapide
  ctest --test-dir build-sanitize --output-on-failure -j2 -R 'Fichiers|Seance|Balayage|Api|Commande|Ligne' -LE rapide
  bash scripts/fuzz.sh --rejouer build-sanitize
else
  cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DEGYPTE_TESTS=ON
  cmake --build build-tests -j2
  ctest --test-dir build-tests --output-on-failure -j2
  # The library installed, and the examples built against it alone.
  bash scripts/exemples.sh build-tests
  # The Python module installed by pip into a fresh environment.
  bash scripts/pip.sh
fi
