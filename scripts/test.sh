#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
#   scripts/test.sh                      # normal build in build/
#   ZEM_SANITIZE=ON scripts/test.sh      # address and undefined behaviour sanitizers, in build-asan/
#   ZEM_SANITIZE=thread scripts/test.sh  # the tests that use several threads, under
#                                        # ThreadSanitizer, in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

sanitize=${ZEM_SANITIZE:-OFF}
if [ "$sanitize" = thread ]; then
    export BUILD_DIR=${BUILD_DIR:-build-tsan}
    export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
    BUILD_TARGETS=threads_tests scripts/build.sh -DZEM_SANITIZE=thread -DZEM_BUILD_TESTS=ON \
        -DZEM_BUILD_TOOLS=OFF
    ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "${JOBS:-2}" -L threads
    exit
fi

if [ "$sanitize" = ON ]; then
    export BUILD_DIR=${BUILD_DIR:-build-asan}
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
else
    export BUILD_DIR=${BUILD_DIR:-build}
fi

scripts/build.sh -DZEM_SANITIZE="$sanitize" -DZEM_BUILD_TESTS=ON -DZEM_BUILD_TOOLS=ON \
    -DZEM_BUILD_PYTHON=ON
ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "${JOBS:-2}"
