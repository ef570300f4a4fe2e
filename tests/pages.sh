#!/usr/bin/env bash
# The manual pages: every option that `egypte --aide` lists is in egypte.1,
# and man and groff read each page without a warning.
#   bash tests/pages.sh EGYPTE EGYPTE.1 [OTHER.1...]
set -uo pipefail
export LC_ALL=C.UTF-8
egypte=$1
shift
echecs=0
echec() { echo "pages : $*" >&2; echecs=$((echecs + 1)); }

options=$("$egypte" --aide | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
[ "$(wc -l <<< "$options")" -ge 20 ] || echec "trop peu d'options lues dans --aide : $options"
texte=$(sed 's/\\-/-/g' "$1")   # roff writes - as \-
for o in $options; do
  grep -qE -- "(^|[^a-z0-9-])$o([^a-z0-9-]|\$)" <<< "$texte" || echec "--aide donne $o, que $1 ne decrit pas"
done

for page in "$@"; do
  avis=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 > /dev/null)
  [ -z "$avis" ] || echec "man -l $page : $avis"
  avis=$(groff -ww -z -man "$page" 2>&1)
  [ -z "$avis" ] || echec "groff $page : $avis"
  [ "$(MANWIDTH=80 man -l "$page" 2> /dev/null | wc -l)" -ge 20 ] || echec "man -l $page : page presque vide"
done

[ "$echecs" -eq 0 ] && echo "pages : justes"
exit $((echecs > 0))
