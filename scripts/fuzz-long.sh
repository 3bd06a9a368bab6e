#!/usr/bin/env bash
# Fuzzes every target (or those named) for longer than CI does, from a random seed each time,
# keeping the working corpus in build-fuzz/corpus/ from one run to the next. A failure prints
# its seed and leaves its input in build-fuzz/artifacts/.
# Usage: scripts/fuzz-long.sh [seconds per target, default 600] [target ...]
set -euo pipefail
seconds=${1:-600}
shift || true
exec bash "$(dirname "$0")/fuzz.sh" --seconds "$seconds" "$@"
