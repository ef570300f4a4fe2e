#!/usr/bin/env bash
# The bash completion of egypte (app/egypte.bash), driven as bash drives it:
# COMP_WORDS and COMP_CWORD set, the function called, COMPREPLY read. Every
# option that `egypte --aide` lists must be offered after "--".
#   bash tests/completion.sh EGYPTE COMPLETION
set -uo pipefail
export LC_ALL=C
egypte=$1
# shellcheck disable=SC1090
source "$2"
echecs=0
echec() { echo "completion : $*" >&2; echecs=$((echecs + 1)); }

# completer WORD...: completes the last word of "egypte WORD...".
completer() {
  COMP_WORDS=(egypte "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _egypte
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
attendu() {  # attendu "WANTED LINES" WORD...
  local voulu=$1 obtenu
  shift
  obtenu=$(completer "$@")
  [ "$obtenu" = "$voulu" ] || echec "egypte $* : attendu [$voulu], obtenu [$obtenu]"
}

options=$("$egypte" --aide | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
[ "$(wc -l <<< "$options")" -ge 20 ] || echec "trop peu d'options lues dans --aide : $options"
offertes=$(completer 4/5 --)
for o in $options; do
  grep -qx -- "$o" <<< "$offertes" || echec "--aide donne $o, que la completion n'offre pas"
done

attendu $'impaire\nindifferente' --parite i
attendu $'impaire\nindifferente\npaire' 4/5 --parite ''
attendu $'--max-n\n--max-xn' --max
attendu '' --fils ''
attendu '' --balayer 2
attendu '' 4/5      # a fraction: nothing to offer

dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
touch "$dossier/liste.txt" "$dossier/liste.journal" "$dossier/mon fichier" "$dossier/autre"
cd "$dossier" || exit 1
attendu $'liste.journal\nliste.txt' --journal li
attendu 'mon fichier' 4/5 --sortie mon
attendu $'autre\nliste.journal\nliste.txt\nmon fichier' --balayer 2..9 --sortie ''

[ "$echecs" -eq 0 ] && echo "completion : juste"
exit $((echecs > 0))
