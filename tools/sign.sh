#!/usr/bin/env bash
# Signs a Windows executable with Authenticode (osslsigncode):
#   tools/sign.sh IN.exe OUT.exe CERT KEY
# CERT is the publisher's certificate chain (PEM or DER, or a .spc), KEY its
# private key (PEM or DER). Optional environment:
#   ORV_SIGN_PASS       the key's pass phrase
#   ORV_TIMESTAMP_URL   an RFC 3161 time-stamp service, so the signature
#                       outlives the certificate
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: sign.sh IN.exe OUT.exe CERT KEY" >&2; exit 2; }
in="$1" out="$2" cert="$3" key="$4"
for f in "$in" "$cert" "$key"; do
  [ -f "$f" ] || { echo "sign: no such file: $f" >&2; exit 1; }
done
args=(sign -certs "$cert" -key "$key" -h sha256 -n "Velmora Installer")
[ -n "${ORV_SIGN_PASS:-}" ] && args+=(-pass "$ORV_SIGN_PASS")
[ -n "${ORV_TIMESTAMP_URL:-}" ] && args+=(-ts "$ORV_TIMESTAMP_URL")
rm -f "$out"
osslsigncode "${args[@]}" -in "$in" -out "$out" >/dev/null
echo "sign: $out"
