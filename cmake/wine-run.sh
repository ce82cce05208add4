#!/usr/bin/env bash
# Emulator for cross-compiled programs (CMAKE_CROSSCOMPILING_EMULATOR):
#   wine-run.sh PROGRAM.exe [ARGS...]
# Runs PROGRAM under 64-bit Wine in the project's own prefix and exits with
# the program's exit code.
# The prefix is $ORV_WINEPREFIX; when unset, it is "wineprefix" in the
# nearest folder above PROGRAM that holds a CMakeCache.txt (the build
# folder). The prefix is created on first use.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ $# -ge 1 ] || { echo "usage: wine-run.sh PROGRAM [ARGS...]" >&2; exit 125; }

[ -f "$1" ] || { echo "wine-run: no such program: $1" >&2; exit 127; }

ORV_PREFIX="${ORV_WINEPREFIX:-}"
if [ -z "$ORV_PREFIX" ]; then
  d="$(cd "$(dirname "$1")" 2>/dev/null && pwd || true)"
  while [ -n "$d" ] && [ "$d" != "/" ]; do
    if [ -f "$d/CMakeCache.txt" ]; then ORV_PREFIX="$d/wineprefix"; break; fi
    d="$(dirname "$d")"
  done
fi
if [ -z "$ORV_PREFIX" ]; then
  echo "wine-run: set ORV_WINEPREFIX (no build folder found above $1)" >&2
  exit 125
fi

"$here/wine-prefix.sh" "$ORV_PREFIX" || exit 125
. "$here/wine-env.sh"
exec "$ORV_WINE" "$@"
