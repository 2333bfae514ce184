#!/usr/bin/env bash
# Builds the Debian package tavik_<version>_amd64.deb into the project folder:
# a Release build of the programs with Debian's hardening flags
# (dpkg-buildflags), checked (desktop entry, AppStream metadata), then packed
# by CPack, whose Depends comes from dpkg-shlibdeps. Needs no .git: it works
# from an exported source tree too.
#
#   bash scripts/package.sh
#
# Installs what it is missing: the build's packages (install-deps.sh) and the
# packaging tools below.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# dpkg-dev for dpkg-shlibdeps and dpkg-buildflags, file for CPack's look at
# the programs, and the checkers of the desktop entry and the metadata.
tools=(dpkg-dev file desktop-file-utils appstream)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "package: installing the packaging tools ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build=${TAVIK_PACKAGE_BUILD_DIR:-build-package}
# The flags Debian builds its packages with, every hardening feature on
# (fortified functions, stack protector, position-independent program,
# read-only relocations bound at start-up), beside the project's own. Given
# on the command line, so that they also reach a build folder made earlier.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVIK_BUILD_TESTS=OFF -DTAVIK_BUILD_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j"$(nproc)"

desktop-file-validate src/shell/desktop/io.github.tavik.Tavik.desktop
metainfo="$build/packaging/io.github.tavik.Tavik.metainfo.xml"
set +e
report=$(appstreamcli validate --no-net "$metainfo" 2>&1)
set -e
if printf '%s\n' "$report" | grep -q '^E: '; then
  printf '%s\n' "$report" >&2
  echo "package: $metainfo is not valid AppStream metadata" >&2
  exit 1
fi
printf '%s\n' "$report" | grep -E '^[WI]: ' || true

rm -f "$build"/tavik_*.deb
(cd "$build" && cpack -G DEB)
deb=$(cd "$build" && ls tavik_*.deb)
cp "$build/$deb" .
echo "package: $deb has been written"
