#!/usr/bin/env bash
# Runs the ctest suite of a build folder under Wine:
#   tools/run_tests.sh [BUILD_DIR] [ctest args...]
# Makes sure the build's Wine prefix exists and trusts the test CA
# (build/tls/ca.der), keeps one wineserver running for the whole run (saves
# its start-up in every test) and stops it after.
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

# WinINet in the prefix trusts the test CA, so the service with --tls
# build/tls/localhost.pem is accepted (and build/tls/untrusted.pem is not).
# The certificates are renewed here too when they are about to expire.
"$ROOT/tools/make_test_certs.sh" "$BUILD/tls" >/dev/null
if [ ! -f "$BUILD/trust_test_ca.exe" ]; then
  echo "run_tests: $BUILD/trust_test_ca.exe is missing (build the trust_test_ca target)" >&2
  exit 1
fi
# Z: is the Unix root in every prefix; a bare Unix path would depend on
# the working folder.
if ! "$ORV_WINE" "$BUILD/trust_test_ca.exe" "Z:$BUILD/tls/ca.der" >/dev/null </dev/null; then
  echo "run_tests: could not add $BUILD/tls/ca.der to the prefix's trusted roots" >&2
  exit 1
fi

cd "$BUILD"
ctest --output-on-failure "$@"
