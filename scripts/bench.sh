#!/usr/bin/env bash
# Builds the Windows preset and runs the benchmarks under Wine in a prefix of their own (so that test
# runs beside them cannot disturb them): scripts/bench.sh [name ...], by default all of them.
# The comparisons with one WritePrivateProfileStringA call per key take minutes under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
scripts/build.sh win || exit 1
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(CheckPassBench RecordKillBench SaveRulesBench LoadBench IdleBench InstantKillBench UpdateBench)
export ZAPNIX_WINEPREFIX="$PWD/build/wine-prefix-bench"
for bench in "${benches[@]}"; do
  echo "== $bench"
  if [ "$bench" = IdleBench ] || [ "$bench" = InstantKillBench ]; then
    # InstantKillBench compares its idle minute with a baseline build when ZAPNIX_BASELINE_EXE names one.
    ZAPNIX_PRIVATE_DISPLAY=1 scripts/with-wine.sh wine "build/win/bench/$bench.exe" build/win/src/Zapnix.exe \
      ${ZAPNIX_BASELINE_EXE:+"$ZAPNIX_BASELINE_EXE"}
  else
    ZAPNIX_PRIVATE_DISPLAY=1 scripts/with-wine.sh wine "build/win/bench/$bench.exe"
  fi
done
