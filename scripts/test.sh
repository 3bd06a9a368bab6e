#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, a bounded fuzzing run
# of every fuzz target, the whole suite again under the address and undefined-behaviour
# sanitizers, and the runs with several threads under the thread sanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export LSAN_OPTIONS=suppressions=$(pwd)/tests/lsan.supp
bash scripts/build.sh build -DRINGSMOOTH_TESTS=ON -DRINGSMOOTH_BENCH=ON
ctest --test-dir build --output-on-failure -j "$(nproc)"
bash scripts/fuzz.sh
bash scripts/build.sh build-asan -DRINGSMOOTH_TESTS=ON -DRINGSMOOTH_SANITIZE=ON -DRINGSMOOTH_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
cmake -S . -B build-tsan -DRINGSMOOTH_TESTS=ON -DRINGSMOOTH_WERROR=ON -DRINGSMOOTH_TSAN=ON > /dev/null
cmake --build build-tsan -j "$(nproc)" --target ringsmooth driver_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" \
  -R '^(Jobs|BatchRun)\.'
