#!/usr/bin/env bash
# Renders the skinned windows in both languages into BUILD/screenshots/*.png:
#   tools/screenshots.sh [BUILD_DIR]
# The main window with each of its four panels and the dialog in its two
# modes, composed exactly as the windows show them. Runs under Xvfb when
# there is no DISPLAY.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(realpath "${1:-$ROOT/build}")"
if [ -z "${DISPLAY:-}" ] && [ -z "${ORV_IN_XVFB:-}" ]; then
  export ORV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
OUT="$BUILD/screenshots"
mkdir -p "$OUT"
preview="$BUILD/tools/skin_preview/skin_preview.exe"
# The system language picks the skins and the fonts, as in the installer.
for locale in en_US.UTF-8 zh_CN.UTF-8; do
  LC_ALL="$locale" "$ROOT/cmake/wine-run.sh" "$preview" "Z:$OUT" 2>/dev/null
done
ls "$OUT"/*.png
