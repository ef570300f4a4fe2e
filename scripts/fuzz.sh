#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each one.
#   bash scripts/fuzz.sh [SECONDS]   fuzzes each target for SECONDS (default 60)
#   bash scripts/fuzz.sh --rejouer [BUILD]
#                                    only runs the seed corpus and the regression
#                                    inputs once each (a check, not a search); with
#                                    BUILD, the targets already built there (a
#                                    clang sanitizer build: scripts/tester.sh --sanitize)
# Seeds: fuzz/corpus/TARGET/ (kept in the repository). The inputs the fuzzer
# finds go to fuzz-out/corpus/TARGET/, crashes and time-outs to fuzz-out/
# (not kept); an input that made a target fail belongs in
# fuzz/regressions/TARGET/ once the fault is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
if [ "${1:-}" = "--rejouer" ] && [ -n "${2:-}" ]; then
  build=$2
else
  bash scripts/dependances.sh
  cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DEGYPTE_FUZZ=ON -DEGYPTE_TESTS=OFF -DEGYPTE_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j2 --target saisie_fuzz dialogue_fuzz commande_fuzz
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
statut=0
for cible in saisie dialogue commande; do
  prog="$build/fuzz/${cible}_fuzz"
  graines=(fuzz/corpus/$cible)
  [ -d fuzz/regressions/$cible ] && graines+=(fuzz/regressions/$cible)
  if [ "${1:-}" = "--rejouer" ]; then
    echo "== $cible: seeds and regressions"
    "$prog" -runs=0 -timeout=10 "${graines[@]}" || statut=1
  else
    secondes="${1:-60}"
    mkdir -p "fuzz-out/corpus/$cible"
    echo "== $cible: ${secondes}s"
    # The dialogue's inputs are short answers and a command line is a few
    # arguments; a few hundred bytes cover them.
    "$prog" -max_total_time="$secondes" -timeout=10 -rss_limit_mb=4096 -max_len=512 \
      -print_final_stats=1 -artifact_prefix="fuzz-out/$cible-" \
      "fuzz-out/corpus/$cible" "${graines[@]}" || statut=1
  fi
done
exit $statut
