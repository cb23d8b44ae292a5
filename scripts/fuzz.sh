#!/usr/bin/env bash
# Builds the project reader's fuzz target with clang and runs it on the corpus of damaged
# files for the given number of seconds (default 120). New crashes land in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-120}"
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-fuzz
mkdir -p build-fuzz/corpus
cp tests/core/project/data/damaged/*.fuzz build-fuzz/corpus/ 2>/dev/null || true
cd build-fuzz
./fuzz_projectreader -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=4096 -max_len=200000 corpus
