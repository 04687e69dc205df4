#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine, then configures and builds
# in Release. Sourced by start.sh and test.sh; safe to run again.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLORY_BUILD_DIR:-$here/build}"

packages=(
  g++ cmake ninja-build
  qt6-base-dev qt6-translations-l10n
  fonts-noto-cjk
  xvfb xauth
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --parallel "$(nproc)"
