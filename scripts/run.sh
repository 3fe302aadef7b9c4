#!/usr/bin/env bash
# Installs what is missing, builds Zapnix.exe and starts it under Wine: on $DISPLAY when there is
# one, otherwise on a private Xvfb display. Its files (quorb.ini, poplog.ini) live in build/run/.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
scripts/build.sh win || exit 1
mkdir -p build/run
cp build/win/src/Zapnix.exe build/run/
exec scripts/with-wine.sh wine build/run/Zapnix.exe
