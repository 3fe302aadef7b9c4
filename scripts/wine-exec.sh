#!/usr/bin/env bash
# Runs one Windows program under Wine: CTest's emulator for the Windows-side tests.
# Expects the harness to be up (scripts/with-wine.sh); starts one for this program alone otherwise.
set -uo pipefail
if [ -z "${ZAPNIX_WINE_READY:-}" ]; then
  exec "$(dirname "$0")/with-wine.sh" "$0" "$@"
fi
exec wine "$@"
