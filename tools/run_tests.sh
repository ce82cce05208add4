#!/usr/bin/env bash
# Runs the ctest suite of a build folder under Wine:
#   tools/run_tests.sh [BUILD_DIR] [ctest args...]
# Makes sure the build's Wine prefix exists, keeps one wineserver running
# for the whole run (saves its start-up in every test) and stops it after.
# Without a DISPLAY the run happens inside Xvfb, so UI tests get a screen.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${ORV_IN_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
  export ORV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
BUILD="$(realpath "${1:-$ROOT/build}")"; shift || true

ORV_PREFIX="$(sed -n 's/^ORV_WINEPREFIX:PATH=//p' "$BUILD/CMakeCache.txt")"
[ -n "$ORV_PREFIX" ] || ORV_PREFIX="$BUILD/wineprefix"
"$ROOT/cmake/wine-prefix.sh" "$ORV_PREFIX"
. "$ROOT/cmake/wine-env.sh"

# A persistent wineserver, and Wine's background services started here with
# their output sent away: a service started by a test would inherit ctest's
# output pipe and keep ctest waiting until it exits.
"$ORV_WINESERVER" -p >/dev/null 2>&1 </dev/null || true   # fails if one runs
stop_server() { "$ORV_WINESERVER" -k >/dev/null 2>&1 || true; }
trap stop_server EXIT
"$ORV_WINE" wineboot >/dev/null 2>&1 </dev/null || true

cd "$BUILD"
ctest --output-on-failure "$@"
