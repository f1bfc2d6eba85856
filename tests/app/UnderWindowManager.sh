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
deadline=$((SECONDS + wait_seconds))
tmp=$(mktemp -d)
xvfb="" wm=""
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# Fails, saying why, once the time is up.
give_up() {
  [ $SECONDS -lt $deadline ] && return
  echo "$1 did not come up within ${wait_seconds} s:"
  cat "$tmp/$1.log"
  exit 1
}
# Xvfb picks a free display itself and writes its number; one that ends first is started again.
until [ -s "$tmp/display" ]; do
  if [ -z "$xvfb" ] || ! kill -0 $xvfb 2>/dev/null; then
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" >>"$tmp/Xvfb.log" 2>&1 &
    xvfb=$!
  fi
  give_up Xvfb
  sleep 0.05
done
export DISPLAY=":$(head -1 "$tmp/display")"
# Windows shown before openbox manages the display get their frames late: wait until it has
# announced itself on the root window.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
  if [ -z "$wm" ] || ! kill -0 $wm 2>/dev/null; then
    openbox --sm-disable >>"$tmp/openbox.log" 2>&1 &
    wm=$!
  fi
  give_up openbox
  sleep 0.05
done
LD_PRELOAD=${VELTRIX_PRELOAD:-} QT_QPA_PLATFORM=xcb "$@"
