#!/usr/bin/env bash
# Builds the libFuzzer targets with Clang into ${BUILD_DIR:-build-fuzz} and runs
# the OTIO import fuzzer for a number of seconds (default 60) from the seed corpus.
# New inputs go to a scratch corpus in the build folder; the seeds stay as they are.
# Exits non-zero when the fuzzer finds a crash, a leak or a sanitizer report.
#   scripts/fuzz.sh          # one minute
#   scripts/fuzz.sh 600      # ten minutes
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build_dir=${BUILD_DIR:-build-fuzz}

CXX=${CXX:-clang++} cmake -S . -B "$build_dir" -G Ninja -DZEM_BUILD_FUZZ=ON \
    -DZEM_BUILD_TESTS=OFF -DZEM_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build_dir" --parallel "${JOBS:-2}" --target OtioImportFuzzer

corpus="$build_dir/fuzz/corpus-otio"
artifacts="$build_dir/fuzz/artifacts/"
mkdir -p "$corpus" "$artifacts"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build_dir/fuzz/OtioImportFuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict=fuzz/otio.dict -artifact_prefix="$artifacts" -print_final_stats=1 \
    "$corpus" fuzz/corpus/otio
