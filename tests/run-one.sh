#!/bin/bash
# Runs one test executable with fresh settings and program folders, offscreen.
set -u
tmp=$(mktemp -d /tmp/vttest.XXXXXX)
mkdir -m 0700 "$tmp/xdg"
export XDG_RUNTIME_DIR="$tmp/xdg" QT_QPA_PLATFORM=offscreen
export VANTRELL_CONFIG="$tmp/config" VANTRELL_HOME="$tmp/home" HOME="$tmp/userhome"
mkdir -p "$HOME"
unset VANTRELL_ANSWERS VANTRELL_ASKLOG
for v in $(env | grep -o '^VANTRELL_COM[0-9]*'); do unset "$v"; done
# No test reaches the machine's own serial ports (a port scan would write to
# them): every COM port is missing unless a test points it somewhere.
for n in $(seq 1 16); do export "VANTRELL_COM$n=/nonexistent/vantrell-com$n"; done
"$@"
rc=$?
rm -rf "$tmp"
exit $rc
