#!/usr/bin/env bash
# Builds the libFuzzer targets with Clang into ${BUILD_DIR:-build-fuzz} and runs
# each for a number of seconds (default 60) from its seed corpus and dictionary.
# New inputs go to a scratch corpus per target in the build folder; the seeds
# stay as they are. Exits non-zero when any target finds a crash, a leak, a
# sanitizer report or a broken property (all targets run regardless).
#   scripts/fuzz.sh                       # every target, one minute each
#   scripts/fuzz.sh 600 DmTreeJsonFuzzer  # one target, ten minutes
#   scripts/fuzz.sh --list                # the targets
# FUZZ_SEED=N makes a run repeatable (as far as a time limit allows); CI sets it
# so that its bounded run explores the same inputs each time.
set -euo pipefail
cd "$(dirname "$0")/.."

# target, seed corpus under fuzz/corpus/, dictionary under fuzz/
targets=(
    "OtioImportFuzzer otio otio.dict"
    "OtioRoundTripFuzzer otio otio.dict"
    "DmTreeJsonFuzzer dmtree dmtree.dict"
    "StandardOtioFuzzer otio-std otio-std.dict"
    "CdlFuzzer cdl cdl.dict"
    "EdlFuzzer edl edl.dict"
    "CutCompareFuzzer cut-pairs cut-pairs.dict"
    "FcpxmlFuzzer fcpxml fcpxml.dict"
    "XmemlFuzzer xmeml xmeml.dict"
)

if [ "${1:-}" = --list ]; then
    for entry in "${targets[@]}"; do echo "${entry%% *}"; done
    exit 0
fi

seconds=${1:-60}
shift || true
case $seconds in
'' | *[!0-9]*)
    echo "fuzz.sh: the duration must be a whole number of seconds, not '$seconds'" >&2
    exit 2
    ;;
esac
wanted=("$@")

selected=()
for entry in "${targets[@]}"; do
    name=${entry%% *}
    if [ ${#wanted[@]} -eq 0 ] || [[ " ${wanted[*]} " == *" $name "* ]]; then
        selected+=("$entry")
    fi
done
if [ ${#wanted[@]} -gt 0 ] && [ ${#selected[@]} -ne ${#wanted[@]} ]; then
    echo "fuzz.sh: unknown target among: ${wanted[*]} (see --list)" >&2
    exit 2
fi

build_dir=${BUILD_DIR:-build-fuzz}
CXX=${CXX:-clang++} cmake -S . -B "$build_dir" -G Ninja -DZEM_BUILD_FUZZ=ON \
    -DZEM_BUILD_TESTS=OFF -DZEM_BUILD_TOOLS=OFF >/dev/null
names=()
for entry in "${selected[@]}"; do names+=("${entry%% *}"); done
cmake --build "$build_dir" --parallel "${JOBS:-2}" --target "${names[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
artifacts="$build_dir/fuzz/artifacts/"
mkdir -p "$artifacts"

seed=()
if [ -n "${FUZZ_SEED:-}" ]; then seed=(-seed="$FUZZ_SEED"); fi

failed=()
for entry in "${selected[@]}"; do
    read -r name seeds dictionary <<<"$entry"
    corpus="$build_dir/fuzz/corpus-$name"
    mkdir -p "$corpus"
    echo "== $name: $seconds s"
    if ! "$build_dir/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -dict="fuzz/$dictionary" -artifact_prefix="$artifacts$name-" -print_final_stats=1 \
        "${seed[@]}" "$corpus" "fuzz/corpus/$seeds"; then
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz.sh: findings in ${failed[*]}; inputs kept in $artifacts" >&2
    exit 1
fi
