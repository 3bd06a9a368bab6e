#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz, clang++ with address and undefined-behaviour
# sanitizers) in build-fuzz and runs each for a bounded time, starting from its seed corpus in
# tests/fuzz/<target>/. Fails when a target crashes or a check inside it fails; the input that
# did it is left in build-fuzz/artifacts/ (copy it into tests/fuzz/<target>/ as a regression).
# Usage: scripts/fuzz.sh [seconds per target, default 30] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)  # absolute paths: the whole-run target works in a scratch folder of its own
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(number_token free_form rdtabdat run_driver tucson)

if ! command -v clang++ > /dev/null; then
  echo "fuzz.sh: clang++ is not installed; the fuzz targets need it" >&2
  exit 1
fi
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ > /dev/null
cmake --build build-fuzz -j "$(nproc)"

mkdir -p build-fuzz/artifacts
status=0
for t in "${targets[@]}"; do
  corpus=$root/build-fuzz/corpus/$t
  mkdir -p "$corpus"
  echo "== fuzzing $t for ${seconds}s"
  # New inputs go to the first folder (the build's working corpus); the seeds are only read.
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
       LSAN_OPTIONS=suppressions=$root/tests/lsan.supp \
       "build-fuzz/${t}_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=20 \
       -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$root/build-fuzz/artifacts/$t-" \
       "$corpus" "$root/tests/fuzz/$t" > "build-fuzz/$t.log" 2>&1; then
    echo "fuzz.sh: $t failed; see build-fuzz/$t.log and build-fuzz/artifacts/" >&2
    tail -40 "build-fuzz/$t.log" >&2
    status=1
  fi
  grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec" "build-fuzz/$t.log" || true
done
exit $status
