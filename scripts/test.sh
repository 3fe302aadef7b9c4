#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test: native unit tests under the
# sanitizers, then the Windows-side tests (in-process and end-to-end) under Wine on a private display.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
scripts/build.sh all || exit 1

log=build/test-summary.txt
: >"$log"
status=0
ctest --preset native 2>&1 | tee -a "$log" || status=1
# The profile-file fuzzer for a few seconds, as one more test (tests/fuzz/CMakeLists.txt).
if command -v clang++ >/dev/null; then
  if cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
     cmake --build build/fuzz >/dev/null; then
    ctest --test-dir build/fuzz 2>&1 | tee -a "$log" || status=1
  else
    echo "0% tests passed, 1 tests failed out of 1 (the fuzzer did not build)" | tee -a "$log"
  fi
fi
# The portable core and the ini tool with clang too (gcc builds them in both presets), standard C++20
# with -pedantic-errors and warnings as errors, as one more test.
if command -v clang++ >/dev/null; then
  if cmake -S . -B build/clang -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
       -DCMAKE_BUILD_TYPE=Release -DZAPNIX_TESTS=OFF >/dev/null &&
     cmake --build build/clang --target zapnix_core ini; then
    echo "100% tests passed, 0 tests failed out of 1 (the portable core builds with clang)" | tee -a "$log"
  else
    echo "0% tests passed, 1 tests failed out of 1 (the portable core does not build with clang)" | tee -a "$log"
  fi
fi
ZAPNIX_PRIVATE_DISPLAY=1 scripts/with-wine.sh ctest --preset win 2>&1 | tee -a "$log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

passed=0; failed=0
while read -r line; do
  t=$(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/p' <<<"$line")
  [ -n "$t" ] || continue
  set -- $t
  failed=$((failed + $1)); passed=$((passed + $2 - $1))
done <"$log"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit $status
