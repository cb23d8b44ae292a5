#!/usr/bin/env bash
# Configures (once) and builds everything into build/ with Ninja. With MOSSBRAMBLE_SANITIZE=1 the
# build has AddressSanitizer and UndefinedBehaviorSanitizer (use another BUILD_DIR for it); it is
# compiled with -O1 and line tables only, which keeps the build and the instrumented runs short
# while the reports still name file and line.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  if [ "${MOSSBRAMBLE_SANITIZE:-0}" = 1 ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSSBRAMBLE_SANITIZE=ON \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
  else
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSSBRAMBLE_SANITIZE=OFF
  fi
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
