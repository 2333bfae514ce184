#!/usr/bin/env bash
# Builds the fuzz targets with clang++-14 (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time, starting
# from the seed corpus in fuzz/corpus/<target>/. Fails when any target finds
# a crash, a sanitizer report, a failed check, a hang or a memory blow-up.
#
#   bash fuzz/run.sh [SECONDS_PER_TARGET]   (default 60)
#
# TAVIK_FUZZ_BUILD_DIR  build folder (default build-fuzz)
# TAVIK_FUZZ_JOBS       targets run side by side (default 1)
# TAVIK_FUZZ_TARGETS    which targets (default all four)
#
# Inputs the fuzzer finds interesting go to <build>/work/<target>/, so that
# later runs start from them; the seed corpus in the repository is only
# read. Findings are saved as <build>/findings/<target>-crash-... and
# replayed with: <build>/<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [SECONDS_PER_TARGET]" >&2; exit 2 ;; esac
build=${TAVIK_FUZZ_BUILD_DIR:-build-fuzz}
jobs=${TAVIK_FUZZ_JOBS:-1}
read -r -a targets <<< "${TAVIK_FUZZ_TARGETS:-fuzz_tle fuzz_settings fuzz_dates fuzz_formatters}"

cxx=${TAVIK_FUZZ_CXX:-clang++-14}
if ! command -v "$cxx" > /dev/null; then
  echo "fuzz: $cxx is missing (scripts/install-deps.sh installs clang-14 and libclang-rt-14-dev)" >&2
  exit 1
fi

mkdir -p "$build/findings" "$build/logs"
if ! { CXX=$cxx cmake -S fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
       && cmake --build "$build" -j"$(nproc)"; } > "$build/logs/build.log" 2>&1; then
  tail -n 40 "$build/logs/build.log" >&2
  echo "fuzz: the build failed; see $build/logs/build.log" >&2
  exit 1
fi

run_one() {
  local target=$1
  local name=${target#fuzz_}
  local work="$build/work/$name"
  local log="$build/logs/$name.log"
  mkdir -p "$work"
  # Halt on the first sanitizer report; leaks count as findings too.
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/$target" "$work" "fuzz/corpus/$name" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
      -error_exitcode=77 -timeout_exitcode=78 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name-" > "$log" 2>&1
}

report() {
  local target=$1 status=$2
  local name=${target#fuzz_}
  local log="$build/logs/$name.log"
  local done runs speed
  done=$(grep -a -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
  runs=$(grep -a -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' || true)
  speed=$(grep -a -E '^stat::average_exec_per_sec:' "$log" | awk '{print $2}' || true)
  if [ "$status" -eq 0 ]; then
    echo "fuzz: $name: ${runs:-?} runs, ${speed:-?}/s; ${done#*DONE   }"
  else
    echo "fuzz: $name: FINDING (exit $status); log $log" >&2
    grep -a -E 'check failed|\*\*\* |runtime error|ERROR: |SUMMARY|Test unit written|timeout' "$log" | head -n 20 >&2 || true
  fi
}

failed=0
pids=()
names=()
wait_first() {
  local status=0
  wait "${pids[0]}" || status=$?
  report "${names[0]}" "$status"
  [ "$status" -eq 0 ] || failed=1
  pids=("${pids[@]:1}")
  names=("${names[@]:1}")
}

for target in "${targets[@]}"; do
  [ "${#pids[@]}" -lt "$jobs" ] || wait_first
  run_one "$target" &
  pids+=("$!")
  names+=("$target")
done
while [ "${#pids[@]}" -gt 0 ]; do wait_first; done

if [ "$failed" -ne 0 ]; then
  echo "fuzz: findings are in $build/findings/" >&2
  exit 1
fi
echo "fuzz: no findings"
