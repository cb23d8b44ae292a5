#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs one target, or each in turn, on its corpus for the given number of seconds
# (default 120 each):
#   scripts/fuzz.sh [SECONDS] [TARGET|all]
# Targets (fuzz/fuzz_TARGET.cpp): projectreader, elementrecords, exchangefile, zipextract,
# configini, swfheader. Seeds come from fuzz/corpus/TARGET/ (swfheader also from the movies of
# the tests); what a run adds stays in build-fuzz/corpus-TARGET/, crashes land in build-fuzz/.
# Inputs stay small (see max_len below): a run costs about as much as its input is long, and
# the seeds are small for the same reason.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-120}"
TARGET="${2:-all}"
ALL="projectreader elementrecords exchangefile zipextract configini swfheader"
if [ "$TARGET" = all ]; then
  TARGETS="$ALL"
elif [ -f "fuzz/fuzz_$TARGET.cpp" ]; then
  TARGETS="$TARGET"
else
  echo "unknown fuzz target: $TARGET (one of: $ALL, all)" >&2
  exit 2
fi
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
for t in $TARGETS; do
  cmake --build build-fuzz --target "fuzz_$t"
done
for t in $TARGETS; do
  corpus="build-fuzz/corpus-$t"
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$t" ] && cp fuzz/corpus/"$t"/* "$corpus/" 2>/dev/null || true
  case "$t" in
    swfheader) cp tests/core/media/data/swf/*.swf "$corpus/" 2>/dev/null || true ;;
  esac
  # A project's walkmap line alone is 9 KB, a room or a project needs room for one.
  case "$t" in
    projectreader|elementrecords) max_len=32768 ;;
    *)                            max_len=16384 ;;
  esac
  echo "== fuzz_$t for ${SECONDS_TO_RUN}s"
  (cd build-fuzz && "./fuzz_$t" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=4096 \
     -max_len="$max_len" -print_final_stats=1 "corpus-$t" 2>&1 | grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|==|SUMMARY|#[0-9]+ *DONE)" || true)
  # A crash leaves crash-*, a timeout timeout-*, in build-fuzz/.
  if compgen -G "build-fuzz/crash-*" >/dev/null || compgen -G "build-fuzz/timeout-*" >/dev/null ||
     compgen -G "build-fuzz/oom-*" >/dev/null; then
    echo "fuzz_$t found a failure: see build-fuzz/" >&2
    exit 1
  fi
done
