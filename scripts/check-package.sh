#!/usr/bin/env bash
# Checks a built tavik package as Debian and a user would: lintian finds no
# errors (its warnings are shown), apt-get installs it with what it depends
# on, both programs run from /usr/bin (the version, a forecast of the
# installed example, the window's --help without a display), and after
# apt-get remove nothing of it is left in /usr.
#
#   bash scripts/check-package.sh tavik_<version>_amd64.deb
#
# Installs and removes the package on this machine (sudo when not root).
set -euo pipefail
[ "$#" -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
deb=$(realpath "$1")
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
apt_get() { DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -y -q "$@"; }

if ! dpkg-query -W -f='${Status}' lintian 2>/dev/null | grep -q "install ok installed"; then
  echo "check-package: installing lintian"
  apt_get update
  apt_get install --no-install-recommends lintian
fi
echo "check-package: lintian $(basename "$deb")"
lintian --fail-on error --info "$deb"

version=$(dpkg-deb -f "$deb" Version)
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -e '^\./$' -e '^\./usr/' || true)
[ -z "$outside" ] || { echo "check-package: files outside /usr:" "$outside" >&2; exit 1; }

apt_get install "$deb"
files=$(dpkg-query -L tavik)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "check-package: $*" >&2; exit 1; }
[ "$(tavik-forecast --version)" = "tavik-forecast $version" ] || fail "tavik-forecast --version does not say $version"
[ "$(tavik --version)" = "tavik $version" ] || fail "tavik --version does not say $version"
(cd "$work" && tavik-forecast --settings /usr/share/doc/tavik/examples/tavik.ini --start 2026-12-07 --save-passes) \
  > "$work/forecast.txt" || fail "the forecast of the installed example failed"
grep -q '^visible passes forecast for TAVIK-LEO' "$work/forecast.txt" || fail "the example's forecast lists no passes"
[ -s "$work/TAVIK-LEO_passes.txt" ] || fail "the example's forecast wrote no passes file"
QT_QPA_PLATFORM=offscreen tavik --help | grep -q '^Usage: tavik ' || fail "tavik --help shows no usage"
for page in tavik tavik-forecast; do
  warnings=$(MANWIDTH=80 man --warnings "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
lines=$(grep -c '^[0-9]' "$work/forecast.txt")
echo "check-package: installed; tavik-forecast $version ran the example ($lines lines of passes and eclipses)"

apt_get remove tavik
left=$(printf '%s\n' "$files" | grep '^/usr/' | grep -v -x -e /usr -e /usr/bin -e /usr/share -e '/usr/share/[^/]*' \
  -e '/usr/share/man/man1' -e '/usr/share/icons/hicolor' -e '/usr/share/icons/hicolor/[^/]*' \
  -e '/usr/share/icons/hicolor/[^/]*/apps' -e '/usr/share/bash-completion/completions' |
  while read -r f; do [ ! -e "$f" ] || echo "$f"; done)
if [ -n "$left" ] || dpkg-query -W -f='${Status}' tavik 2>/dev/null | grep -q 'ok installed'; then
  echo "check-package: left after apt-get remove: ${left:-the package is still known to dpkg}" >&2
  exit 1
fi
echo "check-package: removed; nothing of tavik is left in /usr"
