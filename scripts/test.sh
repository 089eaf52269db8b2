#!/bin/sh
# Sets up the machine, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test headless.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD=${ARVALEN_TEST_BUILD:-build-test}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DARVALEN_SANITIZE=ON -DARVALEN_TESTS=ON
cmake --build "$BUILD" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$BUILD"
ctest --output-on-failure -j "$(nproc)" --timeout 900
