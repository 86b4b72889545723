#!/bin/bash
# Installs what is missing, builds, runs every test; then the same tests in an
# AddressSanitizer + UBSan build.
set -euo pipefail
VT_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$VT_ROOT/scripts-common.sh"
vt_install $VT_TEST_PACKAGES
cd "$VT_ROOT"
jobs=$(nproc)

echo "== build (warnings as errors)"
vt_build build $VT_BUILD_ARGS
echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs" | tee build/ctest.log

echo "== sanitizer build"
vt_build build-asan -DCMAKE_BUILD_TYPE=Debug -DVT_WERROR=ON -DVT_SANITIZE=ON -DVT_BENCH=OFF
echo "== sanitizer tests"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" | tee build-asan/ctest.log

if [ -x "$VT_ROOT/tests/fuzz/run-fuzz.sh" ]; then
  echo "== fuzz"
  "$VT_ROOT/tests/fuzz/run-fuzz.sh"
fi

# One closing line over both runs (each run already stopped the script on a failure).
total=0
for log in build/ctest.log build-asan/ctest.log; do
  n=$(grep -o 'tests failed out of [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  total=$((total + n))
done
echo "all: $total passed, 0 failed"
