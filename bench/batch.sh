#!/usr/bin/env bash
# Times tavik-forecast --all on a 500-entry catalogue and reports its peak
# memory. Usage: bench/batch.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
exe="$build/bin/tavik-forecast"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 500 satellites: the example's orbits with spread planes, phases and heights.
python3 - "$work/500.tle" <<'PY'
import sys
def checksum(line):
    return str(sum(int(c) if c.isdigit() else (1 if c == '-' else 0) for c in line) % 10)
kinds = [(51.64, 15.50, 4712), (98.59, 14.21, 1246), (62.81, 2.0059, 7107813), (0.04, 1.0027, 2149), (86.40, 14.34, 2300)]
with open(sys.argv[1], "w") as f:
    for i in range(500):
        inc, mm, ecc = kinds[i % len(kinds)]
        l1 = "1 %05dU 26001A   26335.%08d  .00001234  00000-0  21962-3 0  999" % (90000 + i, (i * 1234567) % 100000000)
        l2 = "2 %05d %8.4f %8.4f %07d %8.4f %8.4f %11.8f%5d" % (90000 + i, inc, (i * 7.3) % 360, ecc % 10000000, (i * 13.1) % 360, (i * 29.7) % 360, mm, 1000 + i)
        f.write("BENCH-%03d\n%s%s\n%s%s\n" % (i, l1, checksum(l1), l2, checksum(l2)))
PY

cd "$work"
/usr/bin/time -f "wall %e s, user %U s, system %S s, peak memory %M KiB" \
  "$OLDPWD/$exe" --tle 500.tle --locator JO40hc --start 2026-12-06 --all --out out > summary.txt
echo "$(ls out | wc -l) files written; $(grep -c 'sank below' summary.txt || true) satellites stopped below 150 km"
