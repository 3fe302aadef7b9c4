#!/usr/bin/env bash
# Builds a release of Zapnix and lays it out as the update server serves it:
#
#   scripts/release.sh [--server URL] [version] [outdir]
#
#   version   the program's version; by default the build's (ZAPNIX_VERSION in cmake/ZapnixVersion.cmake)
#   outdir    where the release goes, by default build/release/site; it receives
#               zapnix/updates.txt            the version and a line break: what the update check reads
#               zapnix/Zapnix-<version>.zip   Zapnix.exe and ReadMe.txt
#             Publish it by copying its zapnix folder to the root of the web server that the program asks
#             (ZAPNIX_SERVER_BASE); other files there are left alone.
#   --server  the server that the program asks, instead of the build's (the tests use http://127.0.0.1)
#
# ZAPNIX_SIGNING_KEY names the publisher's private key (a P-256 key in PEM, as `openssl ecparam -name
# prime256v1 -genkey -noout` makes it); the command refuses to run without it. The package is signed with
# it, and the signature goes beside the package as zapnix/Zapnix-<version>.zip.sig: r then s, 32 bytes
# each, over the package's file name, a line feed and the SHA-256 of its bytes in lower-case hex. Keep
# the key out of the repository. The program is built to trust the key's public half, so that a release
# never ships a program that would refuse its own updates.
#
# Zapnix.exe is built twice from scratch (CMake preset `release`: optimised, stripped, no link time), in two
# folders, and packed twice; the release is written only when both give the same bytes. The archive's
# times are those of the commit (or SOURCE_DATE_EPOCH when set), so that every release of one commit is
# byte for byte the same.
set -euo pipefail
cd "$(dirname "$0")/.."

server=""
if [ "${1:-}" = "--server" ]; then
  server=${2:?"--server needs an address"}
  shift 2
fi
version=${1:-}
outdir=${2:-build/release/site}
work=build/release
key=${ZAPNIX_SIGNING_KEY:-}
if [ -z "$key" ] || [ ! -r "$key" ]; then
  echo "release: set ZAPNIX_SIGNING_KEY to the publisher's private key (PEM): packages are never published unsigned" >&2
  exit 1
fi

scripts/setup.sh

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || { echo "release: no commit to date the files by: set SOURCE_DATE_EPOCH" >&2; exit 1; }
  git diff --quiet HEAD -- || echo "release: the working tree has changes that are not committed" >&2
fi
export SOURCE_DATE_EPOCH

# The public half of the signing key, for checking the signature, and as the build takes it: x then y in hex.
public_key=$work/release-public-key.hex
public_pem=$work/release-public-key.pem
mkdir -p "$work"
openssl ec -in "$key" -pubout -out "$public_pem" 2>/dev/null
openssl ec -pubin -in "$public_pem" -outform DER 2>/dev/null | tail -c 64 | xxd -p -c 64 >"$public_key"
[ "$(tr -d '\n' <"$public_key" | wc -c)" -eq 128 ] || { echo "release: $key is no P-256 private key" >&2; exit 1; }

# Builds Zapnix.exe in folder $1 from scratch.
build_program() {
  local options=("-DZAPNIX_RELEASE_PUBLIC_KEY=$PWD/$public_key")
  [ -z "$version" ] || options+=("-DZAPNIX_VERSION=$version")
  [ -z "$server" ] || options+=("-DZAPNIX_SERVER_BASE=$server")
  rm -rf "$1"
  cmake --preset release -B "$1" "${options[@]}" >/dev/null
  cmake --build "$1" --target Zapnix -- -j"$(nproc)" >/dev/null
}

# The version that the build in folder $1 was given, as the program and its package name spell it.
version_of() {
  sed -n 's/^ZAPNIX_VERSION:STRING=//p' "$1/CMakeCache.txt"
}

# Packs the program built in folder $1 into $1/site/zapnix. A zip records each file's time, permissions
# and order: all three are fixed here, and zip's own extra fields (owner, exact times) are left out.
pack() {
  local build=$1 v
  v=$(version_of "$build")
  local stage=$build/package site=$build/site/zapnix
  rm -rf "$stage" "$build/site"
  mkdir -p "$stage" "$site"
  cp "$build/src/Zapnix.exe" "$stage/Zapnix.exe"
  # Notepad of older Windows shows only CR LF line breaks.
  sed -e "s/@VERSION@/$v/" -e 's/$/\r/' docs/ReadMe.txt >"$stage/ReadMe.txt"
  chmod 0644 "$stage"/*
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
  (cd "$stage" && TZ=UTC LC_ALL=C zip -X -D -9 -q "$OLDPWD/$site/Zapnix-$v.zip" ReadMe.txt Zapnix.exe)
  # The check reads the first five bytes: the version (five characters at most) and what follows it are
  # blanks or nothing.
  printf '%s\r\n' "$v" >"$site/updates.txt"
  # The package holds exactly these two files, whole.
  unzip -tq "$site/Zapnix-$v.zip" >/dev/null
  if [ "$(unzip -Z1 "$site/Zapnix-$v.zip" | tr '\n' ' ')" != "ReadMe.txt Zapnix.exe " ]; then
    echo "release: $site/Zapnix-$v.zip does not hold ReadMe.txt and Zapnix.exe alone" >&2
    return 1
  fi
}

# Signs package $1 into $1.sig (see above) and checks the signature with the key's public half.
sign() {
  local package=$1 name digest der r s
  name=$(basename "$package")
  digest=$(sha256sum "$package" | cut -d' ' -f1)
  der=$(mktemp)
  printf '%s\n%s' "$name" "$digest" | openssl dgst -sha256 -sign "$key" -out "$der"
  # The signature comes as a DER sequence of two integers; the program takes them as two 32-byte numbers.
  { read -r r; read -r s; } < <(openssl asn1parse -inform DER -in "$der" | awk -F: '/INTEGER/ {print $NF}')
  printf '%064s%064s' "$r" "$s" | tr ' ' 0 | xxd -r -p >"$package.sig"
  printf '%s\n%s' "$name" "$digest" | openssl dgst -sha256 -verify "$public_pem" -signature "$der" >/dev/null
  rm -f "$der"
  [ "$(stat -c %s "$package.sig")" -eq 64 ]
}

start=$SECONDS
for copy in a b; do
  build_program "$work/$copy"
  pack "$work/$copy"
done
if ! diff -r "$work/a/site" "$work/b/site" >/dev/null; then
  echo "release: two builds of the same sources differ:" >&2
  diff -r "$work/a/site" "$work/b/site" >&2 || true
  cmp -l "$work/a/src/Zapnix.exe" "$work/b/src/Zapnix.exe" | head >&2 || true
  exit 1
fi

# The one package that both builds agreed on is signed.
v=$(version_of "$work/a")
sign "$work/a/site/zapnix/Zapnix-$v.zip" || { echo "release: the package could not be signed" >&2; exit 1; }
mkdir -p "$outdir/zapnix"
cp "$work/a/site/zapnix/"* "$outdir/zapnix/"
echo "release: Zapnix $v in $outdir/zapnix (built twice, the same bytes; $((SECONDS - start)) s)"
ls -l "$outdir/zapnix/updates.txt" "$outdir/zapnix/Zapnix-$v.zip" "$outdir/zapnix/Zapnix-$v.zip.sig" |
  awk '{print "  " $5 "\t" $NF}'
