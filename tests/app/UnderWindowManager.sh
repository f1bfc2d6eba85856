#!/usr/bin/env bash
# UnderWindowManager.sh PROGRAM [ARGS...]: runs a test program on a virtual X display of its own
# with a window manager (Xvfb and openbox), where window frames and placement are real. Exits
# 77 (skipped) when one of them is not installed, and fails when they do not come up within two
# minutes (a loaded machine is slow, not a reason to skip). VELTRIX_PRELOAD is preloaded into the
# program alone, never into the display, the window manager or xprop.
set -u
if ! command -v Xvfb >/dev/null || ! command -v openbox >/dev/null ||
   ! command -v xprop >/dev/null; then
  echo "Xvfb, openbox or xprop is missing: skipped"
  exit 77
fi
unset LD_PRELOAD
wait_seconds=120
tmp=$(mktemp -d)
xvfb="" wm=""
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# Xvfb picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
deadline=$((SECONDS + wait_seconds))
until [ -s "$tmp/display" ] || [ $SECONDS -ge $deadline ] || ! kill -0 $xvfb 2>/dev/null; do
  sleep 0.05
done
[ -s "$tmp/display" ] || { echo "Xvfb did not start (given ${wait_seconds} s)"; exit 1; }
export DISPLAY=":$(head -1 "$tmp/display")"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Windows shown before openbox manages the display get their frames late: wait until it has
# announced itself on the root window.
managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
until managed || [ $SECONDS -ge $deadline ] || ! kill -0 $wm 2>/dev/null; do
  sleep 0.05
done
managed || { echo "openbox did not start (given ${wait_seconds} s)"; exit 1; }
LD_PRELOAD=${VELTRIX_PRELOAD:-} QT_QPA_PLATFORM=xcb "$@"
