#!/usr/bin/env bash
# pip installs the Python module into a new virtual environment, offline, from
# the checkout, through the build folder the suite already built; the module
# then reads a cut there with no PYTHONPATH and no LD_LIBRARY_PATH. pip wheel
# makes the same package as a wheel file.
# Arguments: the build folder, the source folder and the Python interpreter.
set -euo pipefail
build_dir=$1
source_dir=$2
python=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$python" -m venv "$scratch/venv"
export ZEM_BUILD_DIR=$build_dir PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1
unset PYTHONPATH LD_LIBRARY_PATH
"$scratch/venv/bin/python" -m pip install -q --no-build-isolation "$source_dir"
"$scratch/venv/bin/python" -m pip wheel -q --no-build-isolation -w "$scratch/wheels" "$source_dir"
wheels=("$scratch"/wheels/zemcomposition-*.whl)
test -f "${wheels[0]}"

cd "$scratch" # not the checkout, whose python/ folder holds no built module
"$scratch/venv/bin/python" - "$scratch/venv" "$source_dir/examples/short-cut.otio.json" <<'PY'
import sys
import zemcomposition as zc
assert zc.__file__.startswith(sys.argv[1]), zc.__file__
cut = zc.Composition.from_file(sys.argv[2])
assert cut.duration.timecode == "00:00:07:00", cut.duration
assert zc.__version__, "no version"
PY
echo "pip install: ok"
