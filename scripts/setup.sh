#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (only what is
# missing), then configures and builds. Sourced by run.sh and test.sh.
set -euo pipefail

PACKAGES=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-translations-l10n libgl1-mesa-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  libxlsxwriter-dev
  fonts-dejavu-core fonts-liberation2
  libgtest-dev libbenchmark-dev
  xvfb xauth openbox xdotool poppler-utils unzip ccache clang-format
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" "$@"
