#!/usr/bin/env bash
# Installs what is missing, builds the headless front end and runs it on the
# bundled example (examples/tavik.ini and examples/example.tle, which the
# build places beside the program), starting today in UTC. Further arguments
# go to tavik-forecast, e.g. --satellite TAVIK-SSO --strip strip.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${TAVIK_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target tavik-forecast -j"$(nproc)"
exec "$build/bin/tavik-forecast" "$@"
