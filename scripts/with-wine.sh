#!/usr/bin/env bash
# Runs a command inside the Wine/Xvfb harness and stops the harness afterwards.
#   scripts/with-wine.sh ctest --preset win
set -uo pipefail
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh"
zapnix_wine_start || exit 1
trap zapnix_wine_stop EXIT
"$@"
