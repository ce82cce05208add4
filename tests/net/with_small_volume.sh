#!/usr/bin/env bash
# Runs a command with a 1 MiB tmpfs mapped as Wine drive S: of the prefix in
# ORV_WINEPREFIX, for the disk-space tests:
#   with_small_volume.sh COMMAND [ARGS...]
# Where mounting is not allowed (no root, no mount rights) the command runs
# without the drive and ORV_SMALL_VOLUME unset; the tests then skip.
set -uo pipefail
: "${ORV_WINEPREFIX:?ORV_WINEPREFIX must be set}"
work="$(mktemp -d)"
drive="$ORV_WINEPREFIX/dosdevices/s:"
cleanup() {
  rm -f "$drive"
  umount "$work" 2>/dev/null
  rmdir "$work" 2>/dev/null
}
trap cleanup EXIT
if [ ! -e "$drive" ] && mount -t tmpfs -o size=1m tmpfs "$work" 2>/dev/null; then
  ln -s "$work" "$drive"
  export ORV_SMALL_VOLUME='S:\'
  export ORV_SMALL_VOLUME_UNIX="$work"
else
  echo "with_small_volume: no small volume here; its tests skip" >&2
fi
"$@"
status=$?
exit "$status"
