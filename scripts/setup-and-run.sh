#!/usr/bin/env bash
# Installs the packages, builds the editor and the command line, and runs them on the demo:
# without a display it prints what the command line reads from the project; with one it
# starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/install-deps
bash scripts/build.sh
BUILD_DIR="${BUILD_DIR:-build}"
"$BUILD_DIR/bin/mossbramble-cli" --version
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$BUILD_DIR/bin/mossbramble" "$@"
else
  echo "No display: the editor was built as $BUILD_DIR/bin/mossbramble; start it on a desktop."
  "$BUILD_DIR/bin/mossbramble-cli" --help
fi
