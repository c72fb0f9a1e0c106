#!/usr/bin/env bash
# Installs what is missing, builds the project and runs zemcomp. Without
# arguments it summarizes the bundled example; otherwise the arguments go to
# zemcomp (for example: scripts/run.sh check examples/graded-shot.otio.json).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
export BUILD_DIR=${BUILD_DIR:-build}
scripts/build.sh -DZEM_BUILD_TOOLS=ON
if [ $# -eq 0 ]; then
    set -- info
fi
exec "$BUILD_DIR/tools/zemcomp/zemcomp" "$@"
