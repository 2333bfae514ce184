#!/usr/bin/env bash
# Builds the fuzz targets with clang++-14 (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60) from its
# seed corpus fuzz/corpus/<target>/, which is only read; what the fuzzer
# learns goes to <build>/work/. Fails on any crash, sanitizer report, failed
# check, hang or memory blow-up, saved as <build>/findings/<target>-crash-...
# and replayed with <build>/<target> <file>.
#
#   bash fuzz/run.sh [SECONDS]   TAVIK_FUZZ_BUILD_DIR (build-fuzz), TAVIK_FUZZ_TARGETS (all four)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [SECONDS_PER_TARGET]" >&2; exit 2 ;; esac
build=${TAVIK_FUZZ_BUILD_DIR:-build-fuzz}
read -r -a targets <<< "${TAVIK_FUZZ_TARGETS:-fuzz_tle fuzz_settings fuzz_dates fuzz_formatters}"
cxx=${TAVIK_FUZZ_CXX:-clang++-14}
command -v "$cxx" > /dev/null || { echo "fuzz: $cxx is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

mkdir -p "$build/findings" "$build/logs"
if ! { CXX=$cxx cmake -S fuzz -B "$build" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON && cmake --build "$build" -j2; } > "$build/logs/build.log" 2>&1; then
  tail -n 40 "$build/logs/build.log" >&2
  echo "fuzz: the build failed; see $build/logs/build.log" >&2
  exit 1
fi

failed=0
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  log="$build/logs/$name.log"
  mkdir -p "$build/work/$name"
  # Halt on the first sanitizer report; leaks count as findings too.
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     "$build/$target" "$build/work/$name" "fuzz/corpus/$name" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 -artifact_prefix="$build/findings/$name-" > "$log" 2>&1; then
    echo "fuzz: $name: $(grep -a -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}') runs"
  else
    failed=1
    echo "fuzz: $name: FINDING; log $log" >&2
    grep -a -E 'check failed|\*\*\* |runtime error|ERROR: |SUMMARY|Test unit written|timeout' "$log" | head -n 20 >&2 || true
  fi
done
[ "$failed" -eq 0 ] || { echo "fuzz: findings are in $build/findings/" >&2; exit 1; }
echo "fuzz: no findings"
