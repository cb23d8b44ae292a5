#!/usr/bin/env bash
# Builds and runs every test suite; exits non-zero when a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR="${BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
