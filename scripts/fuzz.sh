#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one of them on its corpus for the given number of
# seconds (default 120):
#   scripts/fuzz.sh [SECONDS] [projectreader|swfheader]
# projectreader starts from the damaged project files in tests/core/project/data/damaged,
# swfheader from the movies in tests/core/media/data/swf. New crashes land in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-120}"
TARGET="${2:-projectreader}"
case "$TARGET" in
  projectreader) SEEDS="tests/core/project/data/damaged/*.fuzz" ;;
  swfheader)     SEEDS="tests/core/media/data/swf/*.swf" ;;
  *) echo "unknown fuzz target: $TARGET (projectreader or swfheader)" >&2; exit 2 ;;
esac
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-fuzz --target "fuzz_$TARGET"
mkdir -p "build-fuzz/corpus-$TARGET"
# shellcheck disable=SC2086
cp $SEEDS "build-fuzz/corpus-$TARGET/" 2>/dev/null || true
cd build-fuzz
"./fuzz_$TARGET" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=4096 -max_len=200000 "corpus-$TARGET"
