#!/usr/bin/env bash
# The real program as a native Wayland client of a real compositor: Weston's headless
# backend, its pixman renderer and its screenshooter. It opens, paints a figure, and ends
# cleanly with status 0 when the session asks it to.
set -euo pipefail
app=$1 probe=$2 out=$3
rm -rf "$out" && mkdir -p "$out"

for tool in weston weston-screenshooter; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (apt-get install weston)"; exit 77; }
done
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
ls "$plugins"/platforms/libqwayland* >/dev/null 2>&1 || { echo "SKIP: Qt's Wayland plugin is missing (apt-get install qt6-wayland)"; exit 77; }

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

export XDG_RUNTIME_DIR=$out/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY=tavelune-e2e
weston --backend=headless-backend.so --use-pixman --debug --socket="$WAYLAND_DISPLAY" --width=1400 --height=1000 \
  >"$out/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
unset DISPLAY
export XDG_CONFIG_HOME="$out/config"
QT_QPA_PLATFORM=wayland "$app" >"$out/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")

cd "$out"
for _ in $(seq 50); do
  rm -f wayland-screenshot-*.png
  weston-screenshooter >/dev/null 2>&1 || true
  shot=$(ls wayland-screenshot-*.png 2>/dev/null | head -n 1)
  [ -n "$shot" ] && "$probe" figure-anywhere "$shot" >probe.txt 2>&1 && break
  sleep 0.2
done
cat probe.txt
"$probe" figure-anywhere "$shot" >/dev/null
mv "$shot" screen.png
grep -q -i "xcb\|could not" app.log && { cat app.log; exit 1; }
echo "a figure painted natively on Wayland"

kill -TERM "$app_pid"
status=0
timeout 30 tail --pid="$app_pid" -f /dev/null || { echo "the program did not end"; exit 1; }
wait "$app_pid" || status=$?
echo "ended with exit status $status"
[ "$status" -eq 0 ]
