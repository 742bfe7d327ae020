#!/bin/sh
# The workbench's window keys pressed on a real X server: Xvfb with the
# openbox window manager, keys sent by xdotool, the main window's title
# read back. Usage: x11_keys_test.sh MARVOLEN EXAMPLES_DIR. Exits 77 (a
# skipped test) when Xvfb, openbox or xdotool is missing.
set -u
marvolen=$1
examples=$2
for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null 2>&1 || { echo "no $tool: skipped"; exit 77; }
done

work=$(mktemp -d)
pids=
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
cp "$examples"/*.ini "$examples"/*.txt "$work"/

# A display of our own: the first free number from 90.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
pids="$!"
export DISPLAY=":$display"
tries=0
until xdotool getmouselocation >/dev/null 2>&1; do
  tries=$((tries + 1))
  [ $tries -gt 100 ] && { echo "Xvfb did not start"; exit 1; }
  sleep 0.1
done
openbox >/dev/null 2>&1 &
pids="$pids $!"
sleep 0.5

# Under AddressSanitizer, strict string checks make libxkbcommon-x11's own
# strndup of a buffer without a terminating NUL (a bounded copy, which is
# sound) a report at start-up; they are turned off for this program only.
if [ -n "${ASAN_OPTIONS:-}" ]; then
  ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
  export ASAN_OPTIONS
fi
(cd "$work" && QT_QPA_PLATFORM=xcb exec "$marvolen") >"$work/out.txt" 2>&1 &
pids="$pids $!"
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Marvolen' | head -n 1)
[ -n "$window" ] || { echo "the workbench did not show"; cat "$work/out.txt"; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5

failures=0
title() { xdotool getwindowname "$window"; }
# Press KEY; then the title must come to pass the test CHECK ("shows TEXT",
# "lacks TEXT" or "is TEXT"), checked for a while.
press() {
  key=$1 check=$2 text=$3
  xdotool key --window "$window" --clearmodifiers "$key" 2>/dev/null || xdotool key "$key"
  tries=0
  while :; do
    now=$(title)
    case $check in
      shows) case $now in *"$text"*) break ;; esac ;;
      lacks) case $now in *"$text"*) ;; *) break ;; esac ;;
      is) [ "$now" = "$text" ] && break ;;
    esac
    tries=$((tries + 1))
    if [ $tries -gt 30 ]; then
      echo "FAIL: after $key the title is \"$now\" (wanted: $check \"$text\")"
      failures=$((failures + 1))
      return
    fi
    sleep 0.1
  done
  echo "ok: $key: $now"
}

# Three windows (rules.txt, Marvo1, Marvo2), then each key closes the
# active one: Ctrl+F4, Ctrl+W, and Ctrl+F4 again leave none.
press ctrl+n shows Marvo1
press ctrl+n shows Marvo2
press ctrl+F4 lacks Marvo2
press ctrl+w lacks "$(title)"
press ctrl+F4 is Marvolen
exit $((failures > 0))
