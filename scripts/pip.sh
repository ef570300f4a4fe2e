#!/usr/bin/env bash
# The Python package as Python users install it: into a fresh virtual
# environment that sees Debian's setuptools and pybind11, by
# `pip install --no-build-isolation .` (no package registry), then imported
# there with its version, a count and its type stub checked. The install
# must write nothing into the checkout: every file, ignored ones included,
# is listed before and after it.
set -euo pipefail
cd "$(dirname "$0")/.."
env=$(mktemp -d)
trap 'rm -rf "$env"' EXIT
fichiers() { git status --porcelain --ignored --untracked-files=all; }
fichiers > "$env/avant"
/usr/bin/python3 -m venv --system-site-packages "$env/venv"
"$env/venv/bin/pip" install --quiet --no-build-isolation --no-index . > "$env/pip.log" 2>&1 || {
  cat "$env/pip.log" >&2
  exit 1
}
fichiers > "$env/apres"
if ! diff "$env/avant" "$env/apres" > "$env/ecrits"; then
  echo "pip : l'installation a change le depot ($(grep -c '^[<>]' "$env/ecrits") lignes de git status) :" >&2
  head -n 20 "$env/ecrits" >&2
  exit 1
fi
cd "$env"
"$env/venv/bin/python" - <<'PY'
import pathlib
import egypte

assert egypte.__version__ == "8.1", egypte.__version__
assert egypte.compter(1, 1, longueur=5)["solutions"] == 72
paquet = pathlib.Path(egypte.__file__).parent
stub = paquet / "__init__.pyi"
assert stub.is_file() and "def compter(" in stub.read_text(), stub
assert (paquet / "py.typed").is_file(), paquet
assert list(paquet.glob("_egypte*.so")), paquet
print("pip : egypte", egypte.__version__, "installe et importe depuis", paquet)
PY
