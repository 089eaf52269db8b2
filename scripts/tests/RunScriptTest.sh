#!/bin/sh
# scripts/run.sh, started from another folder, hands the program full paths:
# the sample drawing in the build folder (named relative to the checkout),
# and a drawing the user names relative to the folder they are in. The build
# and the program are stand-ins: cmake does nothing, the program writes down
# what it was given.
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/stubs" "$WORK/build/bin" "$WORK/elsewhere"
printf '#!/bin/sh\nexit 0\n' > "$WORK/stubs/cmake"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/given"\n' "$WORK" > "$WORK/build/bin/arvalen"
chmod +x "$WORK/stubs/cmake" "$WORK/build/bin/arvalen"
BUILD=$(realpath --relative-to="$ROOT" "$WORK/build")
WORK=$(cd "$WORK" && pwd -P)

fail() {
    echo "FAILED: $1"
    echo "given:"
    cat "$WORK/given"
    exit 1
}

cd "$WORK/elsewhere"
PATH="$WORK/stubs:$PATH" ARVALEN_RUN_BUILD="$BUILD" "$ROOT/scripts/run.sh" > /dev/null
[ "$(cat "$WORK/given")" = "$WORK/build/bin/SampleMine.grh" ] ||
    fail "the sample by its full path"

PATH="$WORK/stubs:$PATH" ARVALEN_RUN_BUILD="$BUILD" "$ROOT/scripts/run.sh" "Mine plan.grh" > /dev/null
[ "$(cat "$WORK/given")" = "$WORK/elsewhere/Mine plan.grh" ] ||
    fail "a drawing named relative to the folder the script was started from"

PATH="$WORK/stubs:$PATH" ARVALEN_RUN_BUILD="$BUILD" "$ROOT/scripts/run.sh" /plans/a.grh > /dev/null
[ "$(cat "$WORK/given")" = "/plans/a.grh" ] || fail "a full path as it is"
echo "passed"
