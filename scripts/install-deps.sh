#!/usr/bin/env bash
# Installs the Debian packages tavik needs to build, test, fuzz and run, but
# only those that are missing. Safe to run again.
#
#   bash scripts/install-deps.sh          install what is missing
#   bash scripts/install-deps.sh --list   print the package names, one a line
#
# Packages come without their Recommends, so whatever the build needs is named
# here even when another package only recommends it (libqt6opengl6-dev, which
# Qt Charts' CMake package requires). scripts/check-deps.sh proves after each
# CI build that nothing the build used is missing from this list.
set -euo pipefail

packages=(
  # compiler and build
  g++ cmake make pkg-config
  # fuzzing: clang with libFuzzer and the sanitizer runtimes
  clang-14 libclang-rt-14-dev
  # llvm-ar-14 and llvm-ranlib-14, which CMake takes for clang's static
  # libraries wherever they are installed (clang-14 only recommends them)
  llvm-14
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # installed for its verification data only: the SGP4 test reads the
  # element sets and reference output it ships (no Python runs)
  python3-sgp4
  # the export test reads the iCalendar files back with Debian's parser
  # (run by /usr/bin/python3, not whatever python3 comes first on PATH)
  python3-icalendar
  # the independent judge of rise and set to the second and of the range
  # rate: the crossing test runs its SGP4 with its built-in time scale
  # (nothing downloaded)
  python3-skyfield
  # the Sun of the SGP4 model and its eclipse edges are judged against
  # python3-ephem's apparent Sun (with python3-sgp4 for the orbits)
  python3-ephem
  # the window and the command line
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  # zlib: compressed downloads are unpacked under the size cap
  zlib1g-dev
  # the certificates HTTPS downloads of element sets are checked against
  # (Qt Network's OpenSSL backend reads the system's store)
  ca-certificates
  # the tests of the manual pages (groff -ww and man --warnings) and of the
  # bash completion (run with Debian's bash-completion)
  groff-base man-db bash-completion
  # CI checks that the sources keep the house style (.clang-format)
  clang-format-14
  # regional formats the tests pin, and the fonts the window's tests draw with
  locales-all
  fonts-dejavu-core
)

if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "Setup: the ${#packages[@]} Debian packages tavik needs are installed; nothing to install."
  exit 0
fi

echo "Setup: installing ${#missing[@]} missing Debian packages (and what they depend on): ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
