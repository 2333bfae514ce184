#!/usr/bin/env bash
# Times tavik-forecast --all on a large catalogue and reports its peak
# memory. The catalogue is made here from the bundled example's element sets,
# each repeated under its own name and catalogue number.
# Usage: bench/batch.sh [BUILD_DIR] [SATELLITES] [MODEL]   (default build 12000 classic)
set -euo pipefail
build=${1:-build}
count=${2:-12000}
model=${3:-classic}
exe="$(cd "$build/bin" && pwd)/tavik-forecast"
examples="$(cd "$(dirname "$0")/../examples" && pwd)/example.tle"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$examples" "$count" "$work/catalogue.tle" <<'PY'
import sys
def checksum(line):
    return str(sum(int(c) if c.isdigit() else (1 if c == '-' else 0) for c in line[:68]) % 10)
lines = [l.rstrip('\r\n') for l in open(sys.argv[1])]
sets = [(lines[i].strip(), lines[i + 1], lines[i + 2]) for i in range(0, len(lines) - 2, 3)]
with open(sys.argv[3], "w") as f:
    for i in range(int(sys.argv[2])):
        name, l1, l2 = sets[i % len(sets)]
        number = "%05d" % (i % 100000)
        l1 = (l1[:2] + number + l1[7:68])
        l2 = (l2[:2] + number + l2[7:68])
        f.write("%s-%05d\n%s%s\n%s%s\n" % (name, i, l1, checksum(l1), l2, checksum(l2)))
PY

cd "$work"
/usr/bin/time -f "$count satellites, $model model: wall %e s, user %U s, system %S s, peak memory %M KiB" \
  "$exe" --tle catalogue.tle --locator JO40hc --start 2026-12-06 --all --model "$model" --out out > summary.txt
echo "$(ls out | wc -l) files written; $(grep -c 'sank below\|cannot be followed' summary.txt || true) satellites stopped early"
