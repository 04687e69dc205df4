#!/usr/bin/env bash
# Sets everything up and starts the program. Arguments are passed on: an
# optional document to open (.qlo, .txt or .csv).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/setup.sh"
build="${QUILLORY_BUILD_DIR:-$here/build}"
exec "$build/src/quillory" "$@"
