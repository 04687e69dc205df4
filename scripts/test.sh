#!/usr/bin/env bash
# Sets everything up, builds and runs every test; fails when one fails.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/setup.sh"
build="${QUILLORY_BUILD_DIR:-$here/build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
