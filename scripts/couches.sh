#!/usr/bin/env bash
# The folders of src/ include one another one way only, from the base up:
#   commun <- facteurs <- marche <- unites <- estimation <- interface <- balayage
# (a folder may include its own headers and those of the folders before it).
# Fails, naming each include that runs back, when one does.
set -euo pipefail
cd "$(dirname "$0")/.."
ordre=(commun facteurs marche unites estimation interface balayage)
declare -A rang
for i in "${!ordre[@]}"; do rang[${ordre[$i]}]=$i; done
echecs=0
for dossier in src/*/; do
  d=$(basename "$dossier")
  if [ -z "${rang[$d]+x}" ]; then
    echo "src/$d : dossier hors de l'ordre des couches (scripts/couches.sh)"
    echecs=$((echecs + 1))
    continue
  fi
  while IFS=: read -r fichier ligne inclus; do
    cible=${inclus#*\"}
    cible=${cible%%/*}
    if [ -n "${rang[$cible]+x}" ] && [ "${rang[$cible]}" -gt "${rang[$d]}" ]; then
      echo "$fichier:$ligne : $d inclut $cible, une couche au-dessus"
      echecs=$((echecs + 1))
    fi
  done < <(grep -n '^#include "[a-z_]*/' "$dossier"* /dev/null || true)
done
[ $echecs -eq 0 ] && echo "couches : chaque include de src/ va vers le bas"
exit $(( echecs > 0 ))
