#!/bin/bash
# Installs what is missing, builds, runs every test; then the same tests in an
# AddressSanitizer + UBSan build.
#   ./test.sh --under-load   the same three times in a row while every core is
#                            kept busy by as many `yes >/dev/null` processes
#                            (stopped at the end): the check that the suite
#                            holds on a busy machine. Each round's time is shown.
set -euo pipefail
VT_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$VT_ROOT/scripts-common.sh"
rounds=1
case "${1:-}" in
  "") ;;
  --under-load) rounds=3 ;;
  *) echo "usage: ./test.sh [--under-load]" >&2; exit 2 ;;
esac
vt_install $VT_TEST_PACKAGES
cd "$VT_ROOT"
jobs=$(nproc)

if [ "$rounds" -gt 1 ]; then
  hogs=()
  trap 'kill "${hogs[@]}" 2>/dev/null || true' EXIT
  for _ in $(seq "$jobs"); do
    yes >/dev/null &
    hogs+=($!)
  done
  echo "== under load: $jobs busy processes beside every step"
fi

one_round() {
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
  local total=0 log n
  for log in build/ctest.log build-asan/ctest.log; do
    n=$(grep -o 'tests failed out of [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    total=$((total + n))
  done
  echo "all: $total passed, 0 failed"
}

for round in $(seq "$rounds"); do
  start=$SECONDS
  one_round
  if [ "$rounds" -gt 1 ]; then
    echo "== round $round of $rounds green in $((SECONDS - start)) s"
  fi
done
