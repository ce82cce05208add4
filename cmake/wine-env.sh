# Sourced by wine-run.sh and wine-prefix.sh: locates 64-bit Wine and sets
# the environment shared by every Wine call of this project.
# Expects ORV_PREFIX to be set to the Wine prefix folder.

if [ -x /usr/lib/wine/wine64 ]; then
  ORV_WINE=/usr/lib/wine/wine64
elif command -v wine64 >/dev/null 2>&1; then
  ORV_WINE="$(command -v wine64)"
else
  ORV_WINE="$(command -v wine || true)"
fi
if [ -x /usr/lib/wine/wineserver ]; then
  ORV_WINESERVER=/usr/lib/wine/wineserver
else
  ORV_WINESERVER="$(command -v wineserver64 || command -v wineserver || true)"
fi
if [ -z "$ORV_WINE" ] || [ -z "$ORV_WINESERVER" ]; then
  echo "wine: 64-bit Wine not found (run 'make deps')" >&2
  exit 125
fi

export WINEPREFIX="$ORV_PREFIX"
export WINEARCH=win64
export WINELOADER="$ORV_WINE"
export WINESERVER="$ORV_WINESERVER"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono/Gecko download prompt, no menu entries in the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
