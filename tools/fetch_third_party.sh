#!/usr/bin/env bash
# Fetches the third-party sources the build uses from the Debian source
# packages named below, verifies the pinned SHA-256 of each original tarball
# (third_party/SHA256SUMS) and unpacks them with dpkg-source (which applies
# the Debian patches).
#
# apt runs with a private configuration: deb-src entries derived from the
# machine's own apt sources, private lists and cache folders. The system apt
# state is never touched and no root rights are needed.
#
# Usage: tools/fetch_third_party.sh [CACHE_DIR]
#   CACHE_DIR defaults to <repo>/.cache/third_party. Downloads are kept there,
#   so a later run that finds everything in place fetches nothing.
# Prints nothing but errors and progress notes; exits non-zero on failure.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
CACHE="${1:-$ROOT/.cache/third_party}"
SUMS="$ROOT/third_party/SHA256SUMS"
PACKAGES=(libjsoncpp tinyxml minizip)

DL="$CACHE/downloads"
APTDIR="$CACHE/apt"
SRC="$CACHE/src"
mkdir -p "$DL" "$SRC"

log() { echo "fetch_third_party: $*" >&2; }
die() { log "ERROR: $*"; exit 1; }

for tool in apt-get dpkg-source sha256sum python3; do
  command -v "$tool" >/dev/null || die "'$tool' is missing (run 'make deps')"
done

# Newest .dsc of a source package in the download folder, or nothing.
newest_dsc() {
  local pkg="$1" best="" f v bv
  for f in "$DL/${pkg}_"*.dsc; do
    [ -e "$f" ] || continue
    v="$(basename "$f" .dsc)"; v="${v#"${pkg}_"}"
    if [ -z "$best" ]; then best="$f"; bv="$v"; continue; fi
    if dpkg --compare-versions "$v" gt "$bv"; then best="$f"; bv="$v"; fi
  done
  echo "$best"
}

# Is the pinned original tarball of this package present?
orig_name() {
  awk -v p="$1_" 'index($2, p) == 1 && $2 ~ /\.orig\.tar\./ { print $2 }' "$SUMS"
}

missing=()
for pkg in "${PACKAGES[@]}"; do
  orig="$(orig_name "$pkg")"
  [ -n "$orig" ] || die "no pinned original tarball for '$pkg' in $SUMS"
  if [ -z "$(newest_dsc "$pkg")" ] || [ ! -f "$DL/$orig" ]; then
    missing+=("$pkg")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  log "downloading source packages: ${missing[*]}"
  mkdir -p "$APTDIR/lists/partial" "$APTDIR/cache/archives/partial"
  python3 "$ROOT/tools/apt_src_sources.py" > "$APTDIR/sources.list" \
    || die "could not derive deb-src entries from the machine's apt sources"
  APT_OPTS=(
    -o "Dir::Etc::SourceList=$APTDIR/sources.list"
    -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State::Lists=$APTDIR/lists"
    -o "Dir::Cache=$APTDIR/cache"
    -o "Dir::Cache::pkgcache="
    -o "Dir::Cache::srcpkgcache="
    -o "Debug::NoLocking=1"
    -o "APT::Sandbox::User=$(id -un)"
    -o "Acquire::Languages=none"
    -o "Acquire::PDiffs=false"
    -o "Acquire::Retries=3"
  )
  if ! apt-get "${APT_OPTS[@]}" -q update >"$APTDIR/update.log" 2>&1; then
    cat "$APTDIR/update.log" >&2
    die "apt-get update (private source lists) failed"
  fi
  if grep -q '^\(W\|E\):' "$APTDIR/update.log"; then
    grep '^\(W\|E\):' "$APTDIR/update.log" >&2 || true
  fi
  ( cd "$DL" && apt-get "${APT_OPTS[@]}" -q source --download-only "${missing[@]}" ) \
    >"$APTDIR/source.log" 2>&1 || { cat "$APTDIR/source.log" >&2; die "apt-get source failed"; }
fi

# Verify every pinned original tarball; fail loudly on any mismatch.
if ! ( cd "$DL" && sha256sum --strict --quiet -c "$SUMS" ); then
  die "SHA-256 mismatch of an original tarball in $DL (pinned in $SUMS).
  Remove $DL to download again, or check the pins."
fi

# Unpack (dpkg-source checks the .dsc checksums and applies the patches).
for pkg in "${PACKAGES[@]}"; do
  dsc="$(newest_dsc "$pkg")"
  [ -n "$dsc" ] || die "no .dsc for '$pkg' in $DL"
  orig="$(orig_name "$pkg")"
  grep -q " $orig\$" "$dsc" || die "$(basename "$dsc") does not use the pinned $orig"
  dest="$SRC/$pkg"
  if [ -f "$dest/.unpacked" ] && [ "$(cat "$dest/.unpacked")" = "$(basename "$dsc")" ]; then
    continue
  fi
  rm -rf "$dest" "$dest.tmp"
  log "unpacking $(basename "$dsc")"
  dpkg-source -x "$dsc" "$dest.tmp" >"$CACHE/unpack-$pkg.log" 2>&1 \
    || { cat "$CACHE/unpack-$pkg.log" >&2; die "dpkg-source -x $(basename "$dsc") failed"; }
  basename "$dsc" > "$dest.tmp/.unpacked"
  mv "$dest.tmp" "$dest"
done
