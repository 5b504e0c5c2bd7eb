#!/usr/bin/env bash
# The real program under a real X server, driven as a user would: open, look, press "new",
# look again, press a burst, and close the window as a window manager's close button does.
set -euo pipefail
app=$1 probe=$2 out=$3
mkdir -p "$out"

source "$(dirname "$0")/x_server.sh"
require_tools Xvfb xdotool xwd xclip
start_x_server 2048x1536
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_CONFIG_HOME="$out/config"  # the user's saved choices stay out of the test

"$app" >"$out/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
echo "window Form1 is $wid"

# Waits until the screenshot shows a figure; the first paint may lag the mapping.
shoot() {
  for _ in $(seq 50); do
    xwd -silent -id "$wid" >"$out/$1.xwd" && "$probe" figure "$out/$1.xwd" ${2:-} >"$out/$1.txt" 2>&1 && { cat "$out/$1.txt"; return 0; }
    sleep 0.2
  done
  cat "$out/$1.txt"
  return 1
}

shoot first
xdotool mousemove --window "$wid" 604 552 click 1
for _ in $(seq 50); do
  shoot second >/dev/null && "$probe" changed "$out/first.xwd" "$out/second.xwd" 2>/dev/null && break
  sleep 0.2
done
"$probe" changed "$out/first.xwd" "$out/second.xwd"
echo "a press of \"new\" painted a new figure"
"$probe" png "$out/second.xwd" "$out/figure.png"

xdotool click --repeat 8 --delay 10 1
sleep 1
kill -0 "$app_pid"
shoot third
echo "a burst of presses was taken"

# Ctrl+C puts the figure on the clipboard: exactly the surface's pixels on the screen.
xdotool key --window "$wid" ctrl+c
for _ in $(seq 50); do
  timeout 5 xclip -selection clipboard -t image/png -o >"$out/clipboard.png" 2>/dev/null && [ -s "$out/clipboard.png" ] && break
  sleep 0.2
done
"$probe" same "$out/third.xwd" "$out/clipboard.png"
echo "Ctrl+C copied the figure"

"$probe" close "$wid"
status=0
timeout 30 tail --pid="$app_pid" -f /dev/null || { echo "the program did not end on close"; exit 1; }
wait "$app_pid" || status=$?
echo "closed with exit status $status"
[ "$status" -eq 0 ]

# A 200 % screen: the surface has 1000 x 1000 device pixels, painted at them.
QT_SCALE_FACTOR=2 "$app" >"$out/app2x.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
shoot sharp 2
"$probe" png "$out/sharp.xwd" "$out/figure-2x.png" 2
"$probe" close "$wid"
timeout 30 tail --pid="$app_pid" -f /dev/null || { echo "the program did not end on close"; exit 1; }
status=0
wait "$app_pid" || status=$?
echo "at scale 2, closed with exit status $status"
[ "$status" -eq 0 ]
