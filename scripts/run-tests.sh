#!/usr/bin/env bash
# Builds and runs every test suite; exits non-zero when a test fails.
#   scripts/run-tests.sh              the normal build in build/
#   scripts/run-tests.sh --sanitize   the whole suite under AddressSanitizer and
#                                     UndefinedBehaviorSanitizer, built into build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--sanitize" ]; then
  export BUILD_DIR="${BUILD_DIR:-build-asan}"
  export MOSSBRAMBLE_SANITIZE=1
  # Any finding ends the test that made it. Leaks are not checked: the platform libraries below
  # Qt keep caches until exit.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
elif [ -n "${1:-}" ]; then
  echo "usage: $0 [--sanitize]" >&2
  exit 2
fi
bash scripts/build.sh
BUILD_DIR="${BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
