#!/usr/bin/env bash
# UnderWindowManager.sh PROGRAM [ARGS...]: runs a test program on a virtual X display of its own
# with a window manager (Xvfb and openbox), where window frames and placement are real. Fails at
# once when a pattern of its --gtest_filter names no test. Exits
# 77 (skipped), naming what is missing, when one of them or of the X tools it waits with (xprop
# and xev) is not installed, and fails when they do not come up within two minutes (a loaded
# machine is slow, not a reason to skip). VELTRIX_PRELOAD is preloaded into the
# program alone, never into the display, the window manager or xprop. VELTRIX_WM_NICE runs
# openbox at that niceness: a window manager slowed as on a loaded machine.
set -u
# Each pattern of the program's test filter must name a test: a renamed test would otherwise
# leave its entry green with the rest. Checked first, on no display.
for arg in "$@"; do
  case $arg in --gtest_filter=*) ;; *) continue ;; esac
  positive=${arg#--gtest_filter=}
  IFS=: read -ra patterns <<<"${positive%%-*}"
  for pattern in "${patterns[@]}"; do
    [ -n "$pattern" ] || continue # "A::B" holds an empty one, which gtest passes over
    # Listed offscreen, where a desktop theme's plugin may not load.
    if ! env -u QT_QPA_PLATFORMTHEME LD_PRELOAD= QT_QPA_PLATFORM=offscreen "$1" \
      --gtest_list_tests --gtest_filter="$pattern" 2>/dev/null | grep -q '^  '; then
      echo "the filter pattern $pattern matches no test"
      exit 1
    fi
  done
done
missing=""
for tool in Xvfb openbox xprop xev; do
  command -v $tool >/dev/null || missing="$missing $tool"
done
if [ -n "$missing" ]; then
  echo "skipped: needs Xvfb, openbox, xprop and xev; not installed:$missing"
  exit 77
fi
unset LD_PRELOAD
wait_seconds=120
deadline=$((SECONDS + wait_seconds))
tmp=$(mktemp -d)
xvfb="" wm="" probe=""
trap 'kill $probe $wm $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
. "$(dirname "$0")/../common/RemoveWhenEnded.sh"
remove_when_ended "$tmp"
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
    nice -n "${VELTRIX_WM_NICE:-0}" openbox --sm-disable >>"$tmp/openbox.log" 2>&1 &
    wm=$!
  fi
  give_up openbox
  sleep 0.05
done
# It announces itself before its start-up is over, and a window shown meanwhile may wait for the
# next event that reaches openbox, for ever on a display where nothing else happens: a window of
# our own is shown, and the root window touched, until openbox lists that window as managed.
xev >/dev/null 2>&1 &
probe=$!
touches=0
until xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q "0x"; do
  xprop -root -f _VELTRIX_WAKE 32c -set _VELTRIX_WAKE $((touches += 1))
  give_up openbox
  sleep 0.05
done
kill $probe
wait $probe 2>/dev/null
LD_PRELOAD=${VELTRIX_PRELOAD:-} QT_QPA_PLATFORM=xcb "$@"
