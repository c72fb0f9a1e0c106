#!/usr/bin/env bash
# Installs what the tool needs, builds the libraries and zemcomp (not the tests)
# and runs it. Without arguments it summarizes the bundled example; otherwise
# the arguments go to zemcomp (for example: scripts/run.sh list examples/*.json).
# A build folder configured once is reused as it is: later runs only build
# what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh tool
export BUILD_DIR=${BUILD_DIR:-build}
# The tool with its completion script and manual page, all that cmake --install
# takes of it.
if [ -f "$BUILD_DIR/build.ninja" ]; then
    scripts/build.sh --target zemcomp_installed
else
    # A first configuration without the tests, whose packages the tool does not
    # need; scripts/test.sh turns them on.
    scripts/build.sh -DZEM_BUILD_TESTS=OFF -DZEM_BUILD_TOOLS=ON --target zemcomp_installed
fi
if [ $# -eq 0 ]; then
    set -- info
fi
exec "$BUILD_DIR/tools/zemcomp/zemcomp" "$@"
