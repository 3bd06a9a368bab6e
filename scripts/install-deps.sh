#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the program and its tests need and the
# machine lacks. Safe to run again: it installs only what is missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config python3
  libgtest-dev libbenchmark-dev
  libplplot-dev plplot-driver-xwin plplot-driver-cairo
  clang libclang-rt-14-dev gfortran valgrind
  xvfb xauth xfonts-base xdotool x11-utils x11-apps imagemagick
  groff-base time
  python3-pandas python3-scipy r-base-core
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
