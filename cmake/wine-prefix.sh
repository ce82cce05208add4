#!/usr/bin/env bash
# Creates the project's Wine prefix once (never the user's ~/.wine).
# Usage: wine-prefix.sh PREFIX_DIR
# Safe to call concurrently; returns at once when the prefix is ready.
set -euo pipefail
ORV_PREFIX="$(realpath -m "${1:?usage: wine-prefix.sh PREFIX_DIR}")"
STAMP="$ORV_PREFIX/.orv-prefix-ready"
[ -f "$STAMP" ] && exit 0

. "$(dirname "$0")/wine-env.sh"

mkdir -p "$(dirname "$ORV_PREFIX")"
exec 9>"$ORV_PREFIX.lock"
flock 9
[ -f "$STAMP" ] && exit 0

echo "wine-prefix: creating $ORV_PREFIX" >&2
rm -rf "$ORV_PREFIX"
LOG="$ORV_PREFIX.log"
{
  "$ORV_WINE" wineboot -i
  "$ORV_WINESERVER" -w
  # Font replacements for the UI (metric-compatible free fonts).
  key='HKCU\Software\Wine\Fonts\Replacements'
  "$ORV_WINE" reg add "$key" /v Arial /t REG_SZ /d "Liberation Sans" /f
  "$ORV_WINE" reg add "$key" /v Tahoma /t REG_SZ /d "Liberation Sans" /f
  "$ORV_WINE" reg add "$key" /v "Microsoft Yahei" /t REG_SZ /d "WenQuanYi Micro Hei" /f
  # Chinese glyphs (and full-width punctuation) in a Latin face come from
  # the linked Chinese font, as on a Windows system with East Asian fonts.
  link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  for face in "Liberation Sans" Arial Tahoma; do
    "$ORV_WINE" reg add "$link" /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f
  done
  "$ORV_WINESERVER" -w
  # Wine links the user's shell folders (Desktop, Documents...) to $HOME;
  # tests and the demo write shortcuts there, so keep them inside the prefix.
  for link in "$ORV_PREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir "$link"; fi
  done
} >"$LOG" 2>&1 || { cat "$LOG" >&2; echo "wine-prefix: creating $ORV_PREFIX failed" >&2; exit 1; }
touch "$STAMP"
