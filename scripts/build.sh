#!/usr/bin/env bash
# Configures and builds the project into ${BUILD_DIR:-build}. Extra arguments go
# to CMake (for example -DZEM_SANITIZE=ON); BUILD_TARGETS (space-separated) builds
# only those targets and what they need.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
# Lets ccache reuse objects compiled in another checkout of the project.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
# shellcheck disable=SC2086 # the targets are split on purpose
cmake --build "$build_dir" --parallel "${JOBS:-2}" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
