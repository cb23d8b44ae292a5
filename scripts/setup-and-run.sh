#!/usr/bin/env bash
# Installs the packages, builds the editor and the command line, generates the demo project and
# makes its game (the editor's main job) with the command line. With a display it then opens the
# editor on the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/install-deps
bash scripts/build.sh
BUILD_DIR="${BUILD_DIR:-build}"
BIN="$BUILD_DIR/bin"
DEMO="$BUILD_DIR/demo"
rm -rf "$DEMO"
"$BIN/mossbramble-make-demo" "$DEMO/project"
"$BIN/mossbramble-cli" check "$DEMO/project/demo.adv"
# The game runtime (engine.dat and its companions) is a separate product; without it in the
# editor folder the build writes everything else and exits 1 with a warning naming the files.
status=0
"$BIN/mossbramble-cli" build "$DEMO/project/demo.adv" "$DEMO/game/demo.exe" || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
  exit "$status"
fi
echo "Demo game folder: $DEMO/game"
ls -l "$DEMO/game/data"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$BIN/mossbramble" "$DEMO/project/demo.adv"
fi
