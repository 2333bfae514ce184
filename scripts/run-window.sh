#!/usr/bin/env bash
# Installs what is missing, builds the desktop window and opens it on the
# bundled example (examples/tavik.ini and examples/example.tle, which the
# build places beside the program). Needs a graphical session.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${TAVIK_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target tavik -j"$(nproc)"
exec "$build/bin/tavik" "$@"
