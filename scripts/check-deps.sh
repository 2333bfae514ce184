#!/usr/bin/env bash
# Checks that a build used only system files that scripts/install-deps.sh
# brings onto a fresh machine: every header a compiled file included (from
# the compiler's dependency files), every CMake package configuration found
# at configure time and every library linked must belong to a package that
# install-deps.sh names, to one of their Depends or Pre-Depends (recursively,
# never Recommends: install-deps.sh installs without them), or to a package
# every Debian system has (priority required or important). A file that is
# there only because something else once installed it is what breaks a
# newcomer's first build while a developer's machine stays green.
#
#   bash scripts/check-deps.sh BUILD_DIR [BUILD_DIR...]
#
# Prints each offending package with one file of it that the build used, and
# exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd -P)

[ "$#" -gt 0 ] || { echo "usage: $0 BUILD_DIR [BUILD_DIR...]" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The system files the builds used, as absolute paths outside the project.
for build in "$@"; do
  [ -f "$build/CMakeCache.txt" ] || { echo "check-deps: $build is not a configured build folder" >&2; exit 2; }
  # Compiler dependency files: "target: prerequisite prerequisite \" lines.
  find "$build" -name '*.d' -type f -print0 | xargs -0 -r cat |
    tr ' \\' '\n\n' | grep '^/' || true
  # Package configurations: each <Name>_DIR the cache records, with the
  # configuration files in it.
  sed -n 's/^[A-Za-z0-9_]*_DIR:PATH=\(\/.*\)$/\1/p' "$build/CMakeCache.txt" | while read -r dir; do
    [ -d "$dir" ] && find "$dir" -maxdepth 1 -type f \( -name '*Config.cmake' -o -name '*-config.cmake' \)
  done
  # Libraries named on link lines.
  find "$build" -name link.txt -type f -print0 | xargs -0 -r cat | tr ' ' '\n' | grep '^/' || true
done | grep -v -e "^$root/" -e '^/tmp/' | sort -u > "$work/files"

# Dependency files name paths like /usr/lib/gcc/x86_64-linux-gnu/12/../../../../include/...;
# the package database holds them without the dots, and on a merged /usr
# some of them under /lib rather than /usr/lib.
while read -r f; do
  realpath -m -s "$f"
done < "$work/files" | sort -u > "$work/normal"

owner_of() { # reads paths, prints "package<TAB>path" for those dpkg knows
  xargs -r dpkg -S 2>/dev/null | sed -n 's/^\([^:]*\(:[a-z0-9]*\)\?\): \(\/.*\)$/\1\t\3/p' || true
}
owner_of < "$work/normal" > "$work/owned"
# dpkg -S prints "pkg1, pkg2: path" for shared folders; a file has one owner
# in practice, but every one of them counts.
cut -f2 "$work/owned" | sort -u > "$work/found"
comm -23 "$work/normal" "$work/found" > "$work/unowned"
# Second chance for the unowned: the file the path finally names, and its
# /usr-less twin on a merged /usr.
: > "$work/still"
while read -r f; do
  real=$(realpath -m "$f")
  alt=${real#/usr}
  hit=$( { printf '%s\n' "$real"; [ "$alt" != "$real" ] && printf '%s\n' "$alt"; } | owner_of | head -n 1)
  if [ -n "$hit" ]; then
    printf '%s\t%s\n' "${hit%%$'\t'*}" "$f" >> "$work/owned"
  else
    printf '%s\n' "$f" >> "$work/still"
  fi
done < "$work/unowned"

# package<TAB>file, one row per package of each file, architecture dropped.
awk -F'\t' '{ n = split($1, p, ", "); for (i = 1; i <= n; i++) { sub(/:.*/, "", p[i]); print p[i] "\t" $2 } }' \
  "$work/owned" | sort -u -k1,1 > "$work/used"

# What a fresh machine has after install-deps.sh: the packages it names...
bash scripts/install-deps.sh --list > "$work/named"
# ...what they depend on (the non-indented lines of apt-cache's recursive
# listing are the packages reached; <name> is a virtual one)...
xargs apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
  --no-breaks --no-replaces --no-enhances < "$work/named" 2>/dev/null |
  grep -v '^ ' | tr -d '<>' | sed 's/:.*//' > "$work/reached"
# ...and what every Debian system has.
dpkg-query -W -f='${Package} ${Priority}\n' | awk '$2 == "required" || $2 == "important" { print $1 }' > "$work/base"
cat "$work/named" "$work/reached" "$work/base" | sort -u > "$work/allowed"

bad=0
while IFS=$'\t' read -r package file; do
  if ! grep -qxF "$package" "$work/allowed"; then
    echo "check-deps: $package is not installed by scripts/install-deps.sh (nor needed by what it installs), but the build used $file"
    bad=1
  fi
done < "$work/used"
while read -r file; do
  echo "check-deps: $file belongs to no Debian package, but the build used it"
  bad=1
done < "$work/still"

if [ "$bad" -ne 0 ]; then
  echo "check-deps: add the packages above to scripts/install-deps.sh" >&2
  exit 1
fi
echo "check-deps: $(wc -l < "$work/normal") system files used by $*, all from $(cut -f1 "$work/used" | sort -u | wc -l) packages a fresh machine gets from scripts/install-deps.sh"
