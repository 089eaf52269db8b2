#!/bin/sh
# Sets up the machine, builds the program (release, in build-release) and
# starts it on the bundled sample mine. Arguments go to the program: a data
# file (".dan") to open instead of the sample.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD=${ARVALEN_RUN_BUILD:-build-release}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DARVALEN_TESTS=OFF
cmake --build "$BUILD" -j "$(nproc)" --target arvalen halvard
exec "$BUILD/bin/arvalen" "$@"
