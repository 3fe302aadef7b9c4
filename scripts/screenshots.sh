#!/usr/bin/env bash
# Photographs the real program for README's guide: builds the Windows preset, runs the screenshot tour
# (docs/tour/ScreenshotTour.cpp) under Wine on a private Xvfb display, and for each window the tour opens
# writes docs/images/<name>.png, cropped to the window, in a few colours and without time stamps.
#   scripts/screenshots.sh [outdir]
set -euo pipefail
cd "$(dirname "$0")/.."
outdir=${1:-docs/images}
scripts/setup.sh
scripts/build.sh win >/dev/null
mkdir -p "$outdir"

# Runs inside the harness: the tour names a window and its place, this photographs it and answers.
photograph() {
  set -euo pipefail
  coproc TOUR { wine build/win/docs/tour/ScreenshotTour.exe; }
  local tour=$TOUR_PID shots=0 name left top right bottom
  exec {from}<&"${TOUR[0]}" {to}>&"${TOUR[1]}"
  while read -r name left top right bottom <&"$from"; do
    bottom=${bottom%$'\r'}
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
      -strip +dither -colors 32 "png8:$SHOTS/$name.png"
    echo "screenshots: $SHOTS/$name.png"
    shots=$((shots + 1))
    echo >&"$to"
  done
  wait "$tour"
  [ "$shots" -eq 4 ]
}
export -f photograph
export ZAPNIX_PRIVATE_DISPLAY=1 ZAPNIX_EXE="$PWD/build/win/src/Zapnix.exe" SHOTS="$outdir"
scripts/with-wine.sh bash -c photograph
