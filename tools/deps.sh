#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 (bookworm), and
# only what is missing: runs 'apt-get update' only when something must be
# installed. Generates the zh_CN.UTF-8 locale when it is missing.
# Works as root (CI: no stdin) and through sudo for a normal user.
#   tools/deps.sh         the build and the tests
#   tools/deps.sh bench   only what 'make bench' needs besides the build
set -euo pipefail

PACKAGES=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
  cmake make dpkg-dev xz-utils python3 googletest
  wine64 wine
  # Recommended by Wine and needed by a GUI under X (XRender text and alpha
  # blending, RandR screen modes, Wine's own fonts, TLS for schannel).
  fonts-wine libgnutls30 libxrender1 libxrandr2 libxi6 libxcursor1
  libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1 libdbus-1-3
  xvfb xauth xdotool x11-utils xclip imagemagick
  zip unzip osslsigncode openssl
  fonts-liberation fonts-wqy-microhei
  locales
)
# The benchmarks' reference server and clients; not needed otherwise.
BENCH_PACKAGES=(nginx-light curl unzip)
LOCALE_LINE="zh_CN.UTF-8 UTF-8"
WANT=build
if [ "${1:-}" = "bench" ]; then
  WANT=bench
  PACKAGES=("${BENCH_PACKAGES[@]}")
elif [ $# -gt 0 ]; then
  echo "usage: tools/deps.sh [bench]" >&2
  exit 2
fi

log() { echo "deps: $*" >&2; }

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { log "not root and no sudo: cannot install"; exit 1; }
  SUDO=(sudo)
  # No password prompt is possible without a terminal (CI).
  [ -t 0 ] || SUDO=(sudo -n)
fi
as_root() { "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive "$@"; }

missing=()
for p in "${PACKAGES[@]}"; do
  status="$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)"
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  log "installing: ${missing[*]}"
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends \
    -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold \
    "${missing[@]}"
fi

[ "$WANT" = build ] || exit 0

have_locale() {
  locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'
}
if ! have_locale; then
  log "generating locale $LOCALE_LINE"
  if grep -qE "^[[:space:]]*#[[:space:]]*${LOCALE_LINE}[[:space:]]*\$" /etc/locale.gen 2>/dev/null; then
    as_root sed -i -E "s/^[[:space:]]*#[[:space:]]*(${LOCALE_LINE})[[:space:]]*\$/\\1/" /etc/locale.gen
  elif ! grep -qE "^[[:space:]]*${LOCALE_LINE}[[:space:]]*\$" /etc/locale.gen 2>/dev/null; then
    echo "$LOCALE_LINE" | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen
  have_locale || { log "locale zh_CN.UTF-8 is still missing"; exit 1; }
fi
