#!/bin/bash
# Builds what is missing (in build/, the way ./test.sh builds) and runs every
# benchmark program, printing one line per figure. VT_BENCH_REPS sets the
# repetitions of each timed stage; the median is reported.
set -euo pipefail
VT_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$VT_ROOT/scripts-common.sh"
vt_install
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! vt_build "$VT_ROOT/build" $VT_BUILD_ARGS >"$log" 2>&1; then
  cat "$log" >&2
  echo "The build failed." >&2
  exit 1
fi

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
status=0
for name in rtf shot export; do
  prog="$VT_ROOT/build/bench/bench_$name"
  if [ ! -x "$prog" ]; then
    echo "$name: not built"
    continue
  fi
  "$prog" || { echo "$name: failed" >&2; status=1; }
done
exit $status
