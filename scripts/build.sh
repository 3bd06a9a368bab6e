#!/usr/bin/env bash
# Configures and builds one build folder. Usage: scripts/build.sh DIR [cmake options...]
set -euo pipefail
dir=$1; shift
cmake -S . -B "$dir" -DRINGSMOOTH_WERROR=ON "$@"
cmake --build "$dir" -j "$(nproc)"
