#!/usr/bin/env bash
# egypte-mpi on this machine against the one-process command line on its
# threads: the same count, run in turn (one process, then the MPI job) a few
# times so that both see the same load; prints each wall time and the ratio.
#   bench/mpi.sh [--rapide] [RANGS] [FOIS]   (BUILD=folder: build by default)
# Default: 1 as 8 distinct unit fractions (about 2 minutes a run on 2 cores);
# --rapide: 3/4 in 7 terms (a few seconds).
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
cas=(1/1 --longueur 8)
if [ "${1:-}" = "--rapide" ]; then
  cas=(3/4 --longueur 7)
  shift
fi
rangs=${1:-2}
fois=${2:-2}
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 OMPI_MCA_rmaps_base_oversubscribe=1
dossier="$racine/${BUILD:-build}"
egypte="$dossier/egypte"
mpi="$dossier/egypte-mpi"
[ -x "$egypte" ] && [ -x "$mpi" ] || { echo "build first: cmake -S . -B build && cmake --build build"; exit 1; }

duree() {
  local debut fin
  debut=$(date +%s.%N)
  "$@" > /dev/null
  fin=$(date +%s.%N)
  awk -v a="$debut" -v b="$fin" 'BEGIN { print b - a }' 
}

echo "cas : ${cas[*]}, $rangs rangs, $(nproc) coeurs"
somme1=0
somme2=0
for ((k = 1; k <= fois; k++)); do
  t1=$(duree "$egypte" --compter "${cas[@]}")
  t2=$(duree mpirun -np "$rangs" "$mpi" --compter "${cas[@]}")
  awk -v k="$k" -v a="$t1" -v b="$t2" 'BEGIN { printf "essai %d : un processus %.1f s, egypte-mpi %.1f s, rapport %.3f\n", k, a, b, b / a }'
  somme1=$(awk -v a="$somme1" -v b="$t1" 'BEGIN { print a + b }')
  somme2=$(awk -v a="$somme2" -v b="$t2" 'BEGIN { print a + b }')
done
awk -v a="$somme1" -v b="$somme2" 'BEGIN { r = b / a; printf "total : un processus %.1f s, egypte-mpi %.1f s, rapport %.3f (but : au plus 1.15, %s)\n", a, b, r, r <= 1.15 ? "atteint" : "manque" }'
