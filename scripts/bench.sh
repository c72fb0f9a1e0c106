#!/usr/bin/env bash
# Builds zemcomp-bench in Release into ${BUILD_DIR:-build-bench} and runs it.
# Arguments go to the benchmark:
#   scripts/bench.sh                          # every size, S to Di, and the EDLs E and E3
#   scripts/bench.sh --sizes E,E3             # EDL reading and writing alone
#   scripts/bench.sh --sizes S,M --repeat 9
#   scripts/bench.sh --write-samples /tmp/otio-samples
#   scripts/bench.sh --sizes M --profile export   # one step only, for a profiler
#   scripts/bench.sh --sizes E --profile edl-write
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

build_dir=${BUILD_DIR:-build-bench}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEM_BUILD_BENCH=ON \
    -DZEM_BUILD_TESTS=OFF -DZEM_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build_dir" --parallel "${JOBS:-2}" --target zemcomp-bench
exec "$build_dir/bench/zemcomp-bench" "$@"
