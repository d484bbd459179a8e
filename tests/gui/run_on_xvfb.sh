#!/usr/bin/env bash
# Runs a GUI check on a virtual X screen of its own, without accessibility bus or window
# manager.   run_on_xvfb.sh <width>x<height> <program> [arguments...]
set -euo pipefail
screen=$1
shift
export NO_AT_BRIDGE=1 GDK_BACKEND=x11
unset WAYLAND_DISPLAY
exec timeout 60 xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" "$@"
