#!/bin/bash
# Installs what is missing, builds what running needs (the program, the
# simulated chronograph, the workbook template), and starts the program.
# Without a chronograph configured it attaches the simulated one as COM1.
# build/ is configured as test.sh configures it, so neither compiles again
# what the other has built.
set -euo pipefail
VT_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$VT_ROOT/scripts-common.sh"
vt_install
vt_build "$VT_ROOT/build" $VT_BUILD_ARGS -- vantrell vantrell-sim xltemplate
# A device chosen for a port in the setup window counts as configured: the
# simulator must not take COM1 over from it.
cfg="${VANTRELL_CONFIG:-$HOME/.config/vantrell}"
chosen=no
if grep -qis '^\[PortDevices\]' "$cfg"/Vantrell*.ini 2>/dev/null; then chosen=yes; fi
if [ -z "${VANTRELL_COM1:-}" ] && [ ! -e /dev/ttyUSB0 ] && [ "$chosen" = no ]; then
  coproc VTSIM { exec "$VT_ROOT/build/vantrell-sim" --armed --shots 100000 --every 2500; }
  sim_pid=$VTSIM_PID
  trap 'rc=$?; set +e; kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null; exit $rc' EXIT
  trap 'exit 130' INT TERM HUP
  IFS= read -r -t 10 VANTRELL_COM1 <&"${VTSIM[0]}" || { echo "The simulated chronograph did not start." >&2; exit 1; }
  export VANTRELL_COM1
  # A first start with the simulator opens COM1 at once instead of scanning
  # for chronographs; settings already there are left as they are.
  if [ ! -e "$cfg/Vantrell0.ini" ]; then
    mkdir -p "$cfg"
    printf '[frmComSet]\nAutoConnect=True\nAutoDetect=False\nChronSelect=0\nCommPort=1\n' > "$cfg/Vantrell0.ini"
  fi
  echo "No chronograph configured: COM1 is the simulated KT4 on $VANTRELL_COM1 until the program ends."
  status=0
  "$VT_ROOT/build/vantrell" "$@" || status=$?
  exit "$status"
fi
exec "$VT_ROOT/build/vantrell" "$@"
