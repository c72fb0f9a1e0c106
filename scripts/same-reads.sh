#!/usr/bin/env bash
# Checks that the standard OTIO reader of this checkout reads every document
# exactly as the one of an earlier commit did: the same edit tree, the same
# standard OTIO written back, the same losses and diagnostics, the same exit
# status. Run it before landing any change to how standard OTIO is read.
#
#   scripts/same-reads.sh [--base REV] [DIR|FILE]...
#
# REV defaults to origin/main, else main. Besides the DIRs and FILEs given (a
# fuzzer's grown corpus, say build-fuzz/fuzz/corpus-StandardOtioFuzzer), it reads
# examples/, every seed corpus under fuzz/corpus/, python/tests/data/, and the
# standard OTIO form of the benchmark's generated timelines (written by the
# earlier commit's own tool, and as another tool would write them). Both tools
# are built in Release into build-same-reads/ (ccache makes the second time
# quick).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

base=
inputs=()
while [ $# -gt 0 ]; do
    case $1 in
    --base)
        base=$2
        shift 2
        ;;
    -h | --help)
        sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        inputs+=("$1")
        shift
        ;;
    esac
done
if [ -z "$base" ]; then
    base=$(git rev-parse --verify -q origin/main || git rev-parse main)
fi
base=$(git rev-parse "$base")

work=$root/build-same-reads
mkdir -p "$work"
export CCACHE_BASEDIR=$root

build_tool() { # SOURCE BUILD
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEM_BUILD_TESTS=OFF \
        -DZEM_BUILD_PYTHON=OFF -DZEM_BUILD_BENCH=ON >/dev/null
    cmake --build "$2" --parallel "${JOBS:-2}" --target zemcomp zemcomp-bench >/dev/null
}

# The earlier commit, in a worktree of its own.
if [ ! -d "$work/base-src" ] || [ "$(git -C "$work/base-src" rev-parse HEAD)" != "$base" ]; then
    git worktree remove --force "$work/base-src" 2>/dev/null || rm -rf "$work/base-src"
    git worktree prune
    git worktree add --detach "$work/base-src" "$base" >/dev/null 2>&1
fi
echo "building the reader of ${base:0:10} and of this checkout ..."
build_tool "$work/base-src" "$work/base-build"
build_tool "$root" "$work/build"
before=$work/base-build/tools/zemcomp/zemcomp
after=$work/build/tools/zemcomp/zemcomp

# The benchmark's timelines, dense and plain, as standard OTIO.
samples=$work/samples
if [ ! -f "$samples/.done-$base" ]; then
    rm -rf "$samples"
    mkdir -p "$samples/product"
    "$work/build/bench/zemcomp-bench" --sizes S,64K,M,D,P --repeat 1 \
        --write-samples "$samples/product" >/dev/null
    for product in "$samples"/product/*.otio.json; do
        name=$(basename "$product" .otio.json)
        "$before" convert --from otio --to otio-std -o "$samples/$name.otio" "$product"
        # The same timeline as the library's older releases wrote it.
        "$before" convert --from otio --to otio-std --otio-version 0.14.0 2>/dev/null \
            -o "$samples/$name-0.14.otio" "$product"
        # And as another tool would write it: without this system's own members,
        # indented as the OpenTimelineIO library indents.
        python3 - "$samples/$name.otio" >"$samples/$name-another.otio" <<'EOF'
import json, sys
def strip(value):
    if isinstance(value, dict):
        value.pop("zem", None)
        for member in value.values():
            strip(member)
    elif isinstance(value, list):
        for element in value:
            strip(element)
    return value
with open(sys.argv[1], encoding="utf-8") as text:
    json.dump(strip(json.load(text)), sys.stdout, indent=4)
EOF
    done
    rm -rf "$samples/product"
    touch "$samples/.done-$base"
fi

documents=()
for place in examples fuzz/corpus python/tests/data "$samples" ${inputs[@]+"${inputs[@]}"}; do
    if [ -f "$place" ]; then
        documents+=("$place")
    elif [ -d "$place" ]; then
        while IFS= read -r -d '' file; do
            documents+=("$file")
        done < <(find "$place" -type f ! -name '.*' -print0 | sort -z)
    fi
done

# Runs one tool on one document: the tree, the standard OTIO written back, and
# what went to standard error with the exit status.
read_with() { # TOOL DOCUMENT OUT
    local status
    set +e
    "$1" convert --from otio-std --to dmtree "$2" >"$3.tree" 2>"$3.err"
    status=$?
    "$1" convert --from otio-std --to otio-std "$2" >"$3.std" 2>>"$3.err"
    echo "exit $status $?" >>"$3.err"
    set -e
}

differ=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for document in "${documents[@]}"; do
    read_with "$before" "$document" "$scratch/before"
    read_with "$after" "$document" "$scratch/after"
    for part in tree std err; do
        if ! cmp -s "$scratch/before.$part" "$scratch/after.$part"; then
            echo "differs ($part): $document"
            diff <(head -c 4000 "$scratch/before.$part") <(head -c 4000 "$scratch/after.$part") |
                head -20 || true
            differ=$((differ + 1))
            break
        fi
    done
done
echo "${#documents[@]} documents read, $differ read differently from ${base:0:10}"
[ "$differ" -eq 0 ]
