#!/usr/bin/env bash
# Watching figures as a user does, under a real X server with a window manager (without
# one, Qt's full screen keeps the window's size): a figure unfolding, full screen against
# the figure painted from its code, back and forward through the run's figures, and a
# 200 % screen too small for the window's layout.
set -euo pipefail
app=$1 probe=$2 out=$3
rm -rf "$out" && mkdir -p "$out"

source "$(dirname "$0")/x_server.sh"
require_tools Xvfb openbox xdotool xwd xclip xprop
fail() { echo "FAIL: $*"; exit 1; }

# An X server of the given size with openbox on it.
start_desktop() {
  start_x_server "$1"
  openbox >"$out/openbox.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
}
unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR
export XDG_CONFIG_HOME="$out/config"

# Starts the program with the given arguments and waits for its window.
open_window() {
  "$app" "$@" >"$out/app.log" 2>&1 &
  app_pid=$!
  pids+=("$app_pid")
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
}
close_window() {
  "$probe" close "$wid"
  timeout 30 tail --pid="$app_pid" -f /dev/null || fail "the program did not end on close"
  wait "$app_pid" || fail "the program ended with status $?"
}
# Takes screenshots (of the root with -root, else of the window) until the probe's check
# passes with the shot in the place of SHOT; the picture may lag the input.
until_shot() {
  local name=$1 what=$2 shot="$out/$1.xwd"
  shift 2
  local args=("${@/#SHOT/$shot}")
  for _ in $(seq 60); do
    if [ "$what" = -root ]; then xwd -silent -root >"$shot"; else xwd -silent -id "$wid" >"$shot"; fi
    "$probe" "${args[@]}" >"$out/$name.txt" 2>&1 && { cat "$out/$name.txt"; return 0; }
    sleep 0.25
  done
  cat "$out/$name.txt"
  return 1
}
copied_code() {
  xdotool key --window "$wid" ctrl+shift+c
  for _ in $(seq 40); do
    code=$(timeout 5 xclip -selection clipboard -o 2>/dev/null || true)
    [[ "$code" =~ ^[0-9A-Z]{18}$ ]] && [ "$code" != "${1:-}" ] && { echo "$code"; return 0; }
    sleep 0.1
  done
  return 1
}

start_desktop 1600x1200
code=$("$app" --png "$out/first.png")
"$app" --png "$out/full.png" --figure "$code" --scale 2.4 >/dev/null

# Full screen: the figure of the code, repainted at 1200 / 500 = 2.4, centred on black.
open_window --figure "$code" --full-screen
until_shot full -root centred SHOT "$out/full.png" || fail "full screen does not show the figure of $code at scale 2.4"
xdotool key --window "$wid" Escape
for _ in $(seq 60); do
  read -r width height < <(xdotool getwindowgeometry "$wid" | awk '/Geometry/ { split($2, s, "x"); print s[1], s[2] }')
  [ "$width" -lt 1600 ] && break
  sleep 0.1
done
[ "$width" -ge 633 ] && [ "$width" -lt 1600 ] || fail "Esc left the window ${width} x ${height}"
echo "Esc gave back the window, ${width} x ${height}"
close_window

# Watching: the figure grows before the user's eyes and ends as the figure of its code.
open_window --figure "$code" --watch 3
xwd -silent -id "$wid" >"$out/early.xwd"
until_shot watched -id same SHOT "$out/first.png" || fail "the watched figure did not end as the figure of $code"
"$probe" changed "$out/early.xwd" "$out/watched.xwd" || fail "the figure did not unfold: it was complete at once"
echo "the watched figure unfolded and ended as the figure of its code"

# Back and forward through the figures shown, each exactly the figure of its code; the
# codes come from "Copy Code" through the clipboard.
codes=("$code")
for i in 1 2; do
  xdotool key --window "$wid" ctrl+n
  codes+=("$(copied_code "${codes[-1]}")") || fail "Copy Code gave no new code"
done
echo "three figures: ${codes[*]}"
xdotool key --window "$wid" w  # watching off: each figure again at once
xdotool key --window "$wid" alt+Left alt+Left
[ "$(copied_code "${codes[2]}")" = "${codes[0]}" ] || fail "back twice is not the first figure"
xdotool key --window "$wid" alt+Right
[ "$(copied_code "${codes[0]}")" = "${codes[1]}" ] || fail "forward once is not the second figure"
"$app" --png "$out/second.png" --figure "${codes[1]}" >/dev/null
until_shot second -id same SHOT "$out/second.png" || fail "the second figure on screen is not that of its code"
echo "back twice and forward once showed the figures of their codes"
close_window
end_all
pids=()

# A 1920 x 1080 screen at 200 % is 960 x 540: the layout is scaled down to fit, and "new"
# is on the screen and answers a click.
start_desktop 1920x1080
QT_SCALE_FACTOR=2 open_window
read -r x y width height < <(xdotool getwindowgeometry "$wid" |
  awk '/Position/ { split($2, p, ","); x = p[1]; y = p[2] } /Geometry/ { split($2, s, "x"); print x, y, s[1], s[2] }')
echo "at 200 %, the window's client area is ${width} x ${height} at ${x},${y}"
[ $((y + height)) -le 1080 ] && [ $((x + width)) -le 1920 ] || fail "the window does not fit the screen"
before=$(copied_code)
# The button's middle, in device pixels, where the layout scaled down to the client area puts it.
read -r bx by < <(awk -v w="$width" 'BEGIN { f = w / (2 * 633); printf "%d %d\n", 2 * f * 604.5, 2 * f * 552.5 }')
xdotool mousemove --window "$wid" "$bx" "$by" click 1
after=$(copied_code "$before") || fail "a click on \"new\" at $bx,$by did not paint a new figure"
echo "\"new\" is on the screen and a click on it painted $after after $before"
close_window
