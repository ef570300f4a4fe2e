#!/usr/bin/env bash
# Plants each fault of tests/fautes/ alone, rebuilds what it touches, runs
# the tests its header names and checks that they FAIL, then takes the fault
# out again. Run by hand (minutes per fault), not in CI:
#
#   bash scripts/fautes.sh [BUILD] [F02 F09 ...]    # every patch when none named
#
# A patch's header holds its description, then "Targets: " (the build
# targets to rebuild) and "Tests: " (a ctest regular expression). The tree
# must be clean under src/, app/ and python/: a fault is taken out with
# `git apply -R`, and a tree left faulted would fail every later run.
set -u
racine=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[ $# -gt 0 ] && shift
cd "$racine" || exit 2
case $build in /*) ;; *) build=$racine/$build ;; esac
[ -d "$build" ] || { echo "fautes.sh : pas de dossier de construction '$build'" >&2; exit 2; }
if ! git diff --quiet -- src app python; then
    echo "fautes.sh : src/, app/ ou python/ ont des changements, rien n'est plante" >&2
    exit 2
fi

if [ $# -gt 0 ]; then
    patches=()
    for f in "$@"; do patches+=("tests/fautes/$f.patch"); done
else
    patches=(tests/fautes/F*.patch)
fi

plantee=""
retirer() {
    [ -n "$plantee" ] && git apply -R "$plantee" && plantee=""
}
trap 'retirer; exit 130' INT TERM

vues=0
manquees=()
for p in "${patches[@]}"; do
    nom=$(basename "$p" .patch)
    cibles=$(sed -n 's/^Targets: //p' "$p" | head -1)
    tests=$(sed -n 's/^Tests: //p' "$p" | head -1)
    if [ -z "$cibles" ] || [ -z "$tests" ]; then
        echo "$nom : en-tete sans Targets: ou Tests:" >&2
        manquees+=("$nom (en-tete)")
        continue
    fi
    if ! git apply --check "$p"; then
        echo "$nom : ne s'applique plus a l'arbre" >&2
        manquees+=("$nom (ne s'applique plus)")
        continue
    fi
    git apply "$p" && plantee=$p
    echo "== $nom : $(head -1 "$p")"
    # shellcheck disable=SC2086 # several targets, one word each
    if ! CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$racine")} cmake --build "$build" -j2 --target $cibles > "$build/faute-$nom.log" 2>&1; then
        echo "$nom : la construction echoue (voir $build/faute-$nom.log)" >&2
        retirer
        manquees+=("$nom (construction)")
        continue
    fi
    # A fault that makes a walk run away is caught by the timeout.
    if ctest --test-dir "$build" -R "$tests" --timeout "${EGYPTE_FAUTES_DELAI:-120}" -j2 \
        >> "$build/faute-$nom.log" 2>&1; then
        echo "$nom : PAS VUE par $tests"
        manquees+=("$nom")
    else
        echo "$nom : vue ($(grep -c '\*\*\*Failed\|\*\*\*Timeout\|Failed  \|Timeout  ' "$build/faute-$nom.log") tests en echec)"
        vues=$((vues + 1))
    fi
    retirer
done
trap - INT TERM

# The build left as the tree is.
cmake --build "$build" -j2 > /dev/null 2>&1 || echo "fautes.sh : la reconstruction finale echoue" >&2
echo "$vues faute(s) vue(s) sur ${#patches[@]}"
if [ ${#manquees[@]} -gt 0 ]; then
    printf 'non vue : %s\n' "${manquees[@]}"
    exit 1
fi
