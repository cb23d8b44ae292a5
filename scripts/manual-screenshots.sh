#!/usr/bin/env bash
# Renews the screenshots of the manual (doc/manual/images) from the running editor under Xvfb,
# with the demo project, in English and German.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
cmake --build "$BUILD_DIR" --target mossbramble-manual-shots mossbramble-make-demo
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
"$BUILD_DIR/bin/mossbramble-make-demo" "$TMP/demo" >/dev/null
env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$TMP" xvfb-run -a -s "-screen 0 1280x800x24" \
  "$BUILD_DIR/bin/mossbramble-manual-shots" "$TMP/demo/demo.adv" doc/manual/images
ls -l doc/manual/images
