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
# The manual page, when help2man made one: a section for every subcommand.
if [ -f "$build_dir/tools/zemcomp/zemcomp.1" ]; then
    page="$scratch/prefix/share/man/man1/zemcomp.1"
    for subcommand in $("$scratch/prefix/bin/zemcomp" --help |
        awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } on && /^$/ { exit }'); do
        grep -q "^.SH \"SUBCOMMAND ${subcommand^^}\"" "$page"
    done
fi
grep -q "complete -F _zemcomp zemcomp" "$scratch/prefix/share/bash-completion/completions/zemcomp"
# The Python module, where the build put it under the prefix: it imports with
# no PYTHONPATH other than that folder and no LD_LIBRARY_PATH, finding the
# installed libraries from its own place, and has its type stub beside it.
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt" | head -n 1; }
if [ "$(cache_value ZEM_BUILD_PYTHON)" = ON ]; then
    site="$scratch/prefix/$(cache_value ZEM_PYTHON_SITE_DIR)"
    test -f "$site/zemcomposition/__init__.pyi"
    test -f "$site/zemcomposition/py.typed"
    env -u LD_LIBRARY_PATH PYTHONPATH="$site" "$(cache_value Python_EXECUTABLE)" -c '
import sys, zemcomposition as zc
assert zc.__file__.startswith(sys.argv[1]), zc.__file__
cut = zc.Composition.from_file(sys.argv[2])
assert cut.duration.timecode == "00:00:07:00", cut.duration
' "$site" "$scratch/prefix/share/zemComposition/examples/short-cut.otio.json"
fi
echo "installed package: ok"
