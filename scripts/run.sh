#!/bin/sh
# Sets up the machine, builds the program (release, in build-release) and
# starts it on the bundled sample mine drawing. Arguments go to the program:
# a drawing (".grh") to open instead of the sample.
#
# The program keeps the name it is given (in its title, the settings' last
# file and the bookmarks), so it is always given a full path: a name relative
# to this folder would name another file at the next start from elsewhere.
set -e
CALLER=$(pwd)
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD=${ARVALEN_RUN_BUILD:-build-release}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DARVALEN_TESTS=OFF
BUILD=$(cd "$BUILD" && pwd)
# The program target brings the converter, the libraries folder "IMG" and
# the sample drawing into the program folder.
cmake --build "$BUILD" -j "$(nproc)" --target arvalen
if [ $# -eq 0 ]; then
    set -- "$BUILD/bin/SampleMine.grh"
else
    # A drawing named relative to the folder the script was started from.
    case "$1" in
    /*) ;;
    *)
        first="$CALLER/$1"
        shift
        set -- "$first" "$@"
        ;;
    esac
fi
exec "$BUILD/bin/arvalen" "$@"
