#!/usr/bin/env bash
# Writes throwaway TLS certificates for the tests into OUTDIR:
#   tools/make_test_certs.sh OUTDIR
#   ca.pem, ca.der          a test CA (trust_test_ca.exe adds ca.der to the
#                           Wine prefix's LocalMachine ROOT store)
#   localhost.pem/.key      server certificate for localhost, signed by it
#   untrusted.pem/.key      self-signed for localhost, trusted by nobody
# Does nothing while every file is there and no certificate expires within
# two days; otherwise makes all of them anew.
set -euo pipefail
OUT="${1:?usage: make_test_certs.sh OUTDIR}"
DAYS=30
FILES=(ca.pem ca.der ca.key localhost.pem localhost.key untrusted.pem untrusted.key)

fresh() {
  local f
  for f in "${FILES[@]}"; do [ -s "$OUT/$f" ] || return 1; done
  for f in ca.pem localhost.pem untrusted.pem; do
    openssl x509 -checkend $((2 * 24 * 3600)) -noout -in "$OUT/$f" >/dev/null 2>&1 || return 1
  done
}
fresh && exit 0

mkdir -p "$OUT"
tmp="$(mktemp -d "$OUT/.make-XXXXXX")"
trap 'rm -rf "$tmp"' EXIT

# One request config; each certificate picks its extension section.
cat >"$tmp/req.cnf" <<'END'
[req]
distinguished_name = dn
prompt = no
[dn]
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[server]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:localhost
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[self]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:localhost
END

# RSA keys and SHA-256: what every TLS stack Wine may use accepts.
key() { openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1" 2>/dev/null; }
key "$tmp/ca.key"
openssl req -x509 -new -sha256 -config "$tmp/req.cnf" -extensions ca -key "$tmp/ca.key" \
  -days "$DAYS" -subj "/O=Velmora Tests/CN=Velmora Test CA" -out "$tmp/ca.pem"
openssl x509 -in "$tmp/ca.pem" -outform DER -out "$tmp/ca.der"

key "$tmp/localhost.key"
openssl req -new -sha256 -config "$tmp/req.cnf" -key "$tmp/localhost.key" \
  -subj "/O=Velmora Tests/CN=localhost" -out "$tmp/localhost.csr"
openssl x509 -req -sha256 -in "$tmp/localhost.csr" -CA "$tmp/ca.pem" -CAkey "$tmp/ca.key" \
  -set_serial "0x$(openssl rand -hex 16)" -days "$DAYS" \
  -extfile "$tmp/req.cnf" -extensions server -out "$tmp/localhost.pem" 2>/dev/null

key "$tmp/untrusted.key"
openssl req -x509 -new -sha256 -config "$tmp/req.cnf" -extensions self \
  -key "$tmp/untrusted.key" -days "$DAYS" -subj "/O=Nobody/CN=localhost" \
  -out "$tmp/untrusted.pem"

openssl verify -CAfile "$tmp/ca.pem" "$tmp/localhost.pem" >/dev/null
for f in "${FILES[@]}"; do mv -f "$tmp/$f" "$OUT/$f"; done
echo "make_test_certs: new test certificates in $OUT"
