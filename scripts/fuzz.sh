#!/bin/sh
# Builds one fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for SECONDS seconds, starting from
# the seeds our writers make and the regression inputs in the tests.
#   scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
# Targets: number_text_fuzz ini_file_fuzz graphlib_stream_fuzz halvard_fuzz
# and the readers of calc/, document/ and routes/ (see their fuzz/ folders).
set -e
if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
TARGET=$1
SECONDS_TO_RUN=$2
shift 2
cd "$(dirname "$0")/.."
BUILD=${ARVALEN_FUZZ_BUILD:-build-fuzz}
if ! command -v clang++ >/dev/null 2>&1; then
  SUDO=""
  if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
  $SUDO apt-get install -y --no-install-recommends clang libclang-rt-dev
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DARVALEN_FUZZ=ON -DARVALEN_TESTS=OFF -DARVALEN_WERROR=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target "$TARGET" "${TARGET}_replay"
CORPUS="$BUILD/corpus/$TARGET"
mkdir -p "$CORPUS"
"$BUILD/bin/${TARGET}_replay" --write-seeds "$CORPUS"
export QT_QPA_PLATFORM=offscreen
# The readers' targets write each input to a scratch file; in memory that
# costs a third of what it costs on disk when several targets run at once.
if [ -z "$TMPDIR" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
mkdir -p "$BUILD/artifacts/$TARGET"
exec "$BUILD/bin/$TARGET" -artifact_prefix="$BUILD/artifacts/$TARGET/" -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 "$@" "$CORPUS"
