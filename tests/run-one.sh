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
"$@"
rc=$?
rm -rf "$tmp"
exit $rc
