#!/bin/bash
# Builds what is missing (in build/, the way ./test.sh builds) and runs every
# benchmark program (start-up, RTF, capture, capture against a bare Qt text
# box, loads, export, live link), printing one line per figure. VT_BENCH_REPS sets the
# repetitions of each timed stage; the median is reported. VT_BENCH_HEAVY=1
# adds the large sizes: CFiles of 50 MB for the paced capture, the live
# capture and the loads, and LibreOffice converting the 10 MB CFile (some minutes).
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
if [ "${VT_BENCH_HEAVY:-0}" = 1 ]; then
  sizes=1,10,50
  capsizes=0.5,5,50
  lo=--libreoffice
else
  sizes=1,10
  capsizes=0.5,5
  lo=
fi
runs=("start" "rtf" "shot" "shot --paced --sizes $sizes" "capture --sizes $capsizes" "load --sizes $sizes $lo"
      "export --shots 10000,40000" "link")
for run in "${runs[@]}"; do
  read -r name args <<<"$run"
  prog="$VT_ROOT/build/bench/bench_$name"
  if [ ! -x "$prog" ]; then
    echo "$name: not built"
    continue
  fi
  # shellcheck disable=SC2086
  # The offscreen platform's notes on window hints (from the programs that
  # bench_start starts) say nothing about the figures.
  "$prog" $args 2> >(grep -v '^This plugin does not support' >&2) || { echo "$name $args: failed" >&2; status=1; }
done
exit $status
