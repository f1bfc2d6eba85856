#!/usr/bin/env bash
# UnderWindowManager.sh PROGRAM [ARGS...]: runs a test program on a virtual X display of its own
# with a window manager (Xvfb and openbox), where window frames and placement are real. Exits
# 77 (skipped) when one of them is missing.
set -u
if ! command -v Xvfb >/dev/null || ! command -v openbox >/dev/null ||
   ! command -v xprop >/dev/null; then
  echo "Xvfb, openbox or xprop is missing: skipped"
  exit 77
fi
tmp=$(mktemp -d)
xvfb="" wm=""
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# Xvfb picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 600); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start: skipped"; exit 77; }
export DISPLAY=":$(head -1 "$tmp/display")"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Windows shown before openbox manages the display get their frames late: wait until it has
# announced itself on the root window.
for _ in $(seq 600); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" ||
  { echo "openbox did not start: skipped"; exit 77; }
QT_QPA_PLATFORM=xcb "$@"
