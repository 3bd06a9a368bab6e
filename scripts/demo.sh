#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the bundled sample table, answering
# its questions from a script. With an X display the plots open in windows (press a key in each
# to go on); without one they are written as PNG files next to the listing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build
# The program alone: the tests are built by scripts/test.sh.
cmake --build build -j "$(nproc)" --target ringsmooth
mkdir -p out
printf '%s\n' examples/sample.txt out/sample-listing.txt 5 -999 30 n n | ./build/ringsmooth
echo
echo "Listing written to out/sample-listing.txt"
