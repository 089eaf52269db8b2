#!/bin/sh
# Sets up the machine, builds the program (release, in build-release) and
# starts it on the bundled sample mine drawing. Arguments go to the program:
# a drawing (".grh") to open instead of the sample.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD=${ARVALEN_RUN_BUILD:-build-release}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DARVALEN_TESTS=OFF
# The program target brings the converter, the libraries folder "IMG" and
# the sample drawing into the program folder.
cmake --build "$BUILD" -j "$(nproc)" --target arvalen
if [ $# -eq 0 ]; then
    set -- "$BUILD/bin/SampleMine.grh"
fi
exec "$BUILD/bin/arvalen" "$@"
