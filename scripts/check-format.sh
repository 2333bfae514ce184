#!/usr/bin/env bash
# The house style: clang-format (the .clang-format at the top) changes nothing
# in the sources, benchmarks and fuzz targets; the tests, whose tables are laid
# out by hand as rows, keep within 120 columns.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t formatted < <(git ls-files 'src/*.cpp' 'src/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
clang-format-14 --dry-run --Werror "${formatted[@]}"
long=$(git ls-files 'tests/*.cpp' 'tests/*.h' | xargs awk 'length($0) > 120 { print FILENAME ":" FNR }')
if [ -n "$long" ]; then
  echo "check-format: test lines over 120 columns:" >&2
  printf '%s\n' "$long" >&2
  exit 1
fi
echo "check-format: the sources keep the house style"
