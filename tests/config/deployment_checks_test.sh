#!/usr/bin/env bash
# The configure-time checks of the deployment values, as a table: build
# type, endpoint, plain-HTTP allowance, and whether the configuration goes on.
#   deployment_checks_test.sh CMAKE CHECKS_FILE
set -uo pipefail
cmake="${1:?usage: deployment_checks_test.sh CMAKE CHECKS_FILE}"
checks="${2:?usage: deployment_checks_test.sh CMAKE CHECKS_FILE}"
plain=http://127.0.0.1:8600/quill/orv/download
secure=https://downloads.example.test/quill/orv/download
# type     endpoint  allow  accepted
cases="
Release    $plain    OFF    no
Release    $plain    ON     yes
Release    $secure   OFF    yes
Debug      $plain    OFF    yes
Debug      $secure   OFF    yes
Release    https://downloads.example.test/other  OFF  no
"
bad=0
while read -r type endpoint allow accepted; do
  [ -n "$type" ] || continue
  out="$("$cmake" -DCMAKE_BUILD_TYPE="$type" -DORV_SERVICE_ENDPOINT="$endpoint" \
         -DORV_ALLOW_PLAIN_HTTP="$allow" -P "$checks" 2>&1)"
  status=$?
  got=no; [ "$status" -eq 0 ] && got=yes
  if [ "$got" != "$accepted" ]; then
    echo "FAIL: $type $endpoint ORV_ALLOW_PLAIN_HTTP=$allow: accepted=$got, expected $accepted"
    echo "$out" | sed 's/^/    /'
    bad=1
  fi
done <<<"$cases"
[ "$bad" -eq 0 ] && echo "ok: deployment checks"
exit "$bad"
