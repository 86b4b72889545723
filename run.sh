#!/bin/bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
VT_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$VT_ROOT/scripts-common.sh"
vt_install
vt_build "$VT_ROOT/build"
exec "$VT_ROOT/build/vantrell" "$@"
