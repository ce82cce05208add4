#!/usr/bin/env bash
# Signs the built installer with a throwaway self-signed certificate and
# checks the signature, the way a publisher's release is signed:
#   sign_test.sh INSTALLER.exe
set -euo pipefail
exe="${1:?usage: sign_test.sh INSTALLER.exe}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velmora Test Publisher" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
"$root/tools/sign.sh" "$exe" "$work/signed.exe" "$work/cert.pem" "$work/key.pem" >/dev/null

# The signature verifies against the certificate...
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed.exe" >"$work/verify.log" 2>&1 || {
  cat "$work/verify.log"; echo "FAIL: the signed installer does not verify"; exit 1; }
grep -q "Signature verification: ok" "$work/verify.log" || {
  cat "$work/verify.log"; echo "FAIL: no good signature reported"; exit 1; }
# ...the unsigned build has none...
if osslsigncode verify -CAfile "$work/cert.pem" -in "$exe" >/dev/null 2>&1; then
  echo "FAIL: the unsigned installer verifies"; exit 1
fi
# ...and a changed byte in the signed file breaks it.
cp "$work/signed.exe" "$work/tampered.exe"
printf 'X' | dd of="$work/tampered.exe" bs=1 seek=4096 conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/tampered.exe" >/dev/null 2>&1; then
  echo "FAIL: a tampered installer verifies"; exit 1
fi
echo "ok: signed, verified, tampering detected"
