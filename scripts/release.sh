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

scripts/setup.sh

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || { echo "release: no commit to date the files by: set SOURCE_DATE_EPOCH" >&2; exit 1; }
  git diff --quiet HEAD -- || echo "release: the working tree has changes that are not committed" >&2
fi
export SOURCE_DATE_EPOCH

# Builds Zapnix.exe in folder $1 from scratch.
build_program() {
  local options=()
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

# A signature beside the package would be made here, from the one package both builds agreed on.
mkdir -p "$outdir/zapnix"
cp "$work/a/site/zapnix/"* "$outdir/zapnix/"
v=$(version_of "$work/a")
echo "release: Zapnix $v in $outdir/zapnix (built twice, the same bytes; $((SECONDS - start)) s)"
ls -l "$outdir/zapnix/updates.txt" "$outdir/zapnix/Zapnix-$v.zip" | awk '{print "  " $5 "\t" $NF}'
