#!/usr/bin/env bash
# Sets everything up and starts the program. Arguments are passed on.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/setup.sh"
build="${QUILLORY_BUILD_DIR:-$here/build}"
# Until the editor window exists, the command-line tool is the program.
if [ "$#" -eq 0 ]; then set -- --help; fi
exec "$build/src/quillory-tool" "$@"
