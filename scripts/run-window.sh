#!/usr/bin/env bash
# Installs what is missing, builds the desktop window and opens it on the
# bundled example (examples/tavik.ini and examples/example.tle, which the
# build places beside the program). Needs a graphical session.
set -euo pipefail
cd "$(dirname "$0")/.."

# Without a display Qt aborts with a page of plugin advice; say it in one
# line before anything is installed or built. A platform chosen by hand
# (QT_QPA_PLATFORM=offscreen, vnc, ...) is the user's own way round it.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run-window: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); to open the window without one, run it in a virtual X server: apt-get install xvfb && xvfb-run -a bash scripts/run-window.sh" >&2
  exit 1
fi

bash scripts/install-deps.sh
build=${TAVIK_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target tavik -j"$(nproc)"
exec "$build/bin/tavik" "$@"
