#!/usr/bin/env bash
# Builds the Windows preset and runs every benchmark under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
scripts/build.sh win || exit 1
for bench in build/win/bench/*_bench.exe; do
  echo "== $(basename "$bench")"
  scripts/with-wine.sh wine "$bench" "$@"
done
