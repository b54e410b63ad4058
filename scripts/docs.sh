#!/bin/sh
# Builds the API reference of the public headers with Doxygen into docs/api/
# (html/index.html). Any warning, such as a public name without a comment,
# fails the run, and so does a name in docs/integration.md that the code
# does not use (scripts/check-guide.py).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
command -v doxygen >/dev/null || { echo "docs.sh: doxygen is not installed (scripts/setup.sh installs it)" >&2; exit 1; }
cd "$root"
rm -rf docs/api
doxygen docs/Doxyfile
python3 scripts/check-guide.py
echo "docs.sh: docs/api/html/index.html"
