#!/usr/bin/env bash
# Builds one preset or both: scripts/build.sh [native|win|all]
set -euo pipefail
cd "$(dirname "$0")/.."
which=${1:-all}
build() {
  [ -f "build/$1/build.ninja" ] || cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -- -j"$(nproc)"
}
case "$which" in
  native|win) build "$which" ;;
  all) build native; build win ;;
  *) echo "usage: $0 [native|win|all]" >&2; exit 2 ;;
esac
