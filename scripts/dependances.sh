#!/usr/bin/env bash
# Installs, through apt-get, the Debian packages that building and testing
# egypte need, when they are missing. Works as root or through sudo.
set -euo pipefail

# tmux: the test that types a session at a real terminal; clang and its
# runtime libraries: the fuzz targets (scripts/fuzz.sh); Debian's Python with
# pybind11 and pytest: the Python module and its tests; FLINT: the factoring
# of numbers beyond machine words; man-db and groff-base: the check of the
# manual pages; bash-completion: what loads the installed completion;
# matplotlib: the pictures of doc/ (scripts/images.py).
paquets=(g++ make cmake libntl-dev libgmp-dev libflint-dev libgtest-dev googletest tmux clang libclang-rt-14-dev libtbb-dev libcli11-dev nlohmann-json3-dev openmpi-bin libopenmpi-dev pkg-config python3-dev python3-setuptools python3-pip python3-venv pybind11-dev python3-pybind11 python3-pytest man-db groff-base bash-completion python3-matplotlib "$@")
manquants=()
for p in "${paquets[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    manquants+=("$p")
  fi
done
[ ${#manquants[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${manquants[@]}"
