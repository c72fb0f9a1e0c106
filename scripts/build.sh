#!/usr/bin/env bash
# Configures and builds the project into ${BUILD_DIR:-build}.
#   scripts/build.sh [-DNAME=VALUE]... [--target TARGET]...
# -D arguments go to CMake; --target, or BUILD_TARGETS (space-separated), limits
# the build to those targets and what they need. CMake configures only when the
# build folder is new or a -D value differs from the one it holds; otherwise the
# build reuses the configuration (and Ninja configures again by itself when a
# CMakeLists.txt changed).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
# Lets ccache reuse objects compiled in another checkout of the project.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}

definitions=()
targets=()
for target in ${BUILD_TARGETS:-}; do
    targets+=(--target "$target")
done
while [ $# -gt 0 ]; do
    case $1 in
    --target)
        targets+=(--target "$2")
        shift 2
        ;;
    *)
        definitions+=("$1")
        shift
        ;;
    esac
done

# True when the build folder holds a configuration with every given -D value.
configured() {
    [ -f "$build_dir/build.ninja" ] && [ -f "$build_dir/CMakeCache.txt" ] || return 1
    local definition name value current
    for definition in ${definitions[@]+"${definitions[@]}"}; do
        case $definition in
        -D[A-Za-z_]*=*)
            name=${definition#-D}
            value=${name#*=}
            name=${name%%=*}
            name=${name%%:*}
            current=$(sed -n "s/^${name}:[A-Z]*=//p" "$build_dir/CMakeCache.txt" | head -n 1)
            [ "$current" = "$value" ] || return 1
            ;;
        *) return 1 ;;
        esac
    done
}

if ! configured; then
    cmake -S . -B "$build_dir" -G Ninja ${definitions[@]+"${definitions[@]}"} >/dev/null
fi
cmake --build "$build_dir" --parallel "${JOBS:-2}" ${targets[@]+"${targets[@]}"}
