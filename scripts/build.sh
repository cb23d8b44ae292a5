#!/usr/bin/env bash
# Configures (once) and builds everything into build/ with Ninja. With MOSSBRAMBLE_SANITIZE=1 the
# build has AddressSanitizer and UndefinedBehaviorSanitizer (use another BUILD_DIR for it).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMOSSBRAMBLE_SANITIZE="$([ "${MOSSBRAMBLE_SANITIZE:-0}" = 1 ] && echo ON || echo OFF)"
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
