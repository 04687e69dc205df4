#!/usr/bin/env bash
# Starts the program on a virtual screen with the welcome outline of a fresh
# user folder, draws its window into docs/screenshot.png and quits. Nothing
# of the real user's settings or folders is touched: HOME is a temporary
# folder for the run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLORY_BUILD_DIR:-$here/build}"
# Set up and build only when there is no program yet.
if [ ! -x "$build/src/quillory" ] || ! command -v xvfb-run >/dev/null; then
  source "$here/scripts/setup.sh"
fi

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config/Morvi" "$home/run"
chmod 700 "$home/run"
# A tree column wide enough for the outline's headings.
printf '[Settings]\nPain_Width=300\n' > "$home/.config/Morvi/Quillory.conf"

mkdir -p "$here/docs"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" LANG=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/src/quillory" -geometry 1120x700+0+0 \
  --screenshot "$here/docs/screenshot.png" \
  "$home/Documents/Quillory/User/Data/ようこそ.qlo"
