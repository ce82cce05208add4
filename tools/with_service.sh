#!/usr/bin/env bash
# Runs a command beside the reference download service on 127.0.0.1:
#   with_service.sh [service options...] -- COMMAND [ARGS...]
# The command finds the service's port in ORV_SERVICE_PORT; tests change its
# behaviour through /_control. The service stops when the command ends, and
# the command's exit code is returned.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
service_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do service_args+=("$1"); shift; done
[ $# -gt 1 ] || { echo "usage: with_service.sh [options] -- COMMAND..." >&2; exit 2; }
shift

work="$(mktemp -d)"
# Output goes to a file: an inherited pipe would keep ctest waiting.
python3 "$here/download_service.py" --port 0 --port-file "$work/port" \
  "${service_args[@]}" >"$work/service.log" 2>&1 &
service=$!
cleanup() {
  kill -TERM "$service" 2>/dev/null
  wait "$service" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

for _ in $(seq 100); do
  [ -s "$work/port" ] && break
  kill -0 "$service" 2>/dev/null || { cat "$work/service.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/port" ] || { echo "with_service: the service did not start" >&2; exit 1; }
ORV_SERVICE_PORT="$(cat "$work/port")"
export ORV_SERVICE_PORT
"$@"
status=$?
exit "$status"  # an explicit exit keeps the code through the EXIT trap
