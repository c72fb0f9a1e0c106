#!/usr/bin/env bash
# Installs the build into a scratch prefix, then builds and runs a small host
# program against it twice: through the CMake package and through pkg-config.
# Arguments: the build folder and the source folder.
set -euo pipefail
build_dir=$1
source_dir=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null

cmake -S "$source_dir/tests/install/consumer" -B "$scratch/consumer" -G Ninja \
    -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/consumer" >/dev/null
LD_LIBRARY_PATH="$scratch/prefix/lib:${LD_LIBRARY_PATH:-}" "$scratch/consumer/consumer"

libdir=$(find "$scratch/prefix" -name zemComposition.pc -printf '%h\n' | head -n 1)
export PKG_CONFIG_PATH="$libdir"
flags=$(pkg-config --cflags --libs zemComposition)
# shellcheck disable=SC2086
${CXX:-c++} -std=c++17 "$source_dir/tests/install/consumer/consumer.cpp" $flags \
    ${ZEM_CONSUMER_FLAGS:-} -o "$scratch/consumer-pc"
LD_LIBRARY_PATH="$(dirname "$libdir"):${LD_LIBRARY_PATH:-}" "$scratch/consumer-pc"

"$scratch/prefix/bin/zemcomp" info >/dev/null
bash -n "$scratch/prefix/share/bash-completion/completions/zemcomp"
grep -q "complete -F _zemcomp zemcomp" "$scratch/prefix/share/bash-completion/completions/zemcomp"
echo "installed package: ok"
