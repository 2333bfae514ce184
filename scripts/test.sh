#!/usr/bin/env bash
# Installs what is missing, builds tavik and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${TAVIK_BUILD_DIR:-build}
# Warnings as errors: a warning is looked at when it appears, not one day among hundreds.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build "$build" -j"$(nproc)"
# Everything the build just used must come from install-deps.sh's packages,
# or a fresh machine would fail where this one passed.
bash scripts/check-deps.sh "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
