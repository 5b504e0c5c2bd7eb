#!/usr/bin/env bash
# The screensaver as xscreensaver runs it: into a window another program made, following
# it as it is resized; ended by SIGTERM; started and stopped by the real daemon, as an
# ordinary user; and the settings file's command lines accepted by the program.
set -euo pipefail
app=$1 probe=$2 settings=$3 out=$4
rm -rf "$out" && mkdir -p "$out"

source "$(dirname "$0")/x_server.sh"
require_tools Xvfb xdotool xwd xwininfo xscreensaver xscreensaver-command runuser
fail() { echo "FAIL: $*"; exit 1; }
start_x_server 1280x800
unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR XSCREENSAVER_WINDOW
export XDG_RUNTIME_DIR="$out/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Screenshots of a window until the probe finds a figure filling it.
until_filled() {
  for _ in $(seq 60); do
    xwd -silent -id "$2" >"$out/$1.xwd" && "$probe" fills "$out/$1.xwd" >"$out/$1.txt" 2>&1 && { cat "$out/$1.txt"; return 0; }
    sleep 0.25
  done
  cat "$out/$1.txt"
  return 1
}

# A window of the test's own making, as the daemon or the settings' preview would give.
coproc host { exec "$probe" make-window 640 400; }
pids+=($!)
read -r -u "${host[0]}" window
"$app" --window-id "$window" --watch 1 --slideshow 60 >"$out/app.log" 2>&1 &
saver=$!
pids+=("$saver")
until_filled window "$window" || fail "no figure fills the 640 x 400 window"
xdotool windowsize "$window" 300 500
for _ in $(seq 60); do
  until_filled resized "$window" | grep -q "^300 x 500" && break
  sleep 0.25
done
grep -q "^300 x 500" "$out/resized.txt" || fail "the figure did not follow the window to 300 x 500"
echo "the figure followed the window to 300 x 500"

# The settings dialog's preview: --root with --window-id, the window wins; a small window
# shows the whole figure, drawn smaller than the smallest surface where it must be.
kill "$saver"
wait "$saver" || fail "the screensaver ended with status $?"
for size in "300 200" "100 80"; do
  # shellcheck disable=SC2086
  "$probe" make-window $size >"$out/preview.id" &
  maker=$!
  pids+=("$maker")
  for _ in $(seq 50); do [ -s "$out/preview.id" ] && break; sleep 0.1; done
  read -r preview <"$out/preview.id"
  "$app" --root --window-id "$preview" --watch 0.5 --slideshow 60 >"$out/app.log" 2>&1 &
  saver=$!
  pids+=("$saver")
  until_filled preview "$preview" || fail "the ${size/ / x } preview does not show the whole figure"
  kill "$saver"
  wait "$saver" || fail "the preview ended with status $?"
  kill "$maker"
done
echo "--root --window-id paints the window, and a 300 x 200 and a 100 x 80 window show the whole figure"

# The code on request, in a corner beside the figure; without it, only the figure.
"$app" --window-id "$window" --watch 0.5 --slideshow 60 --show-code >"$out/app.log" 2>&1 &
saver=$!
pids+=("$saver")
sleep 2
for _ in $(seq 20); do
  xwd -silent -id "$window" >"$out/code.xwd"
  ! "$probe" fills "$out/code.xwd" >"$out/code.txt" 2>&1 && grep -q "[1-9][0-9]* beyond its reach" "$out/code.txt" && break
  sleep 0.25
done
grep -q "[1-9][0-9]* beyond its reach" "$out/code.txt" || fail "--show-code shows no code beside the figure: $(cat "$out/code.txt")"
echo "--show-code: $(grep -o "[0-9]* beyond its reach" "$out/code.txt") of the figure, the code"
kill "$saver"
wait "$saver" || true
"$app" --window-id "$window" --watch 1 --slideshow 60 >"$out/app.log" 2>&1 &
saver=$!
pids+=("$saver")
until_filled window "$window" >/dev/null || fail "no figure fills the window without --show-code"

# SIGTERM while a figure unfolds: it ends at once, quietly.
kill "$saver"
wait "$saver" || fail "the first screensaver ended with status $?"
"$app" --window-id "$window" --watch 30 >"$out/app.log" 2>&1 &
saver=$!
pids+=("$saver")
sleep 1
started=$(date +%s%N)
kill -TERM "$saver"
status=0
wait "$saver" || status=$?
echo "SIGTERM while unfolding: status $status after $(( ($(date +%s%N) - started) / 1000000 )) ms"
[ "$status" -eq 0 ] || fail "SIGTERM ended it with status $status"
[ ! -s "$out/app.log" ] || fail "it was not quiet: $(cat "$out/app.log")"

# Bad windows: a status and a word.
for id in 12abc 0x7ffffff0; do
  status=0
  "$app" --window-id "$id" 2>"$out/bad.txt" || status=$?
  [ "$status" -eq 2 ] && grep -q . "$out/bad.txt" || fail "--window-id $id exited $status: $(cat "$out/bad.txt")"
  echo "--window-id $id: status 2, $(head -n 1 "$out/bad.txt")"
done

# Every command line the settings file makes for xscreensaver is one the program takes:
# started with each, it runs until it is ended, rather than refusing its arguments.
python3 - "$settings" >"$out/commands.txt" <<'PYTHON'
import sys, xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
assert root.tag == "screensaver" and root.get("name") == "tavelune", "not tavelune's settings"
base = [c.get("arg") for c in root.iter("command")]
for number in root.iter("number"):
    low, default, high = (float(number.get(k)) for k in ("low", "default", "high"))
    assert low <= default <= high, number.get("id") + ": the default is out of its range"
    for value in (number.get("low"), number.get("default"), number.get("high")):
        print(" ".join(base + [number.get("arg").replace("%", value)]))
for boolean in root.iter("boolean"):
    for arg in (boolean.get("arg-set"), boolean.get("arg-unset")):
        if arg:
            print(" ".join(base + [arg]))
# As the settings' preview runs it, in a window of its own.
print(" ".join(base + ["--window-id", "WINDOW"]))
PYTHON
while read -r command; do
  status=0
  # shellcheck disable=SC2086
  XSCREENSAVER_WINDOW=$window timeout -s TERM 1 "$app" ${command/WINDOW/$window} 2>"$out/bad.txt" || status=$?
  [ "$status" -eq 0 ] || [ "$status" -eq 124 ] || fail "tavelune $command exited $status: $(cat "$out/bad.txt")"
done <"$out/commands.txt"
echo "the settings' $(wc -l <"$out/commands.txt") command lines are all accepted"

# The real daemon, which refuses to run as root, with only this program in its list.
home="$out/home"
mkdir -p "$home"
cat >"$home/.xscreensaver" <<XRESOURCES
lock: False
splash: False
fade: False
unfade: False
timeout: 0:30:00
XRESOURCES
# The user's own list, as --add-to-screensaver makes it: the system's, and tavelune last.
chown -R nobody "$out/home"
as_user() { runuser -u nobody -- env HOME="$home" DISPLAY="$DISPLAY" PATH="$(dirname "$app"):$PATH" "$@"; }
as_user tavelune --add-to-screensaver >/dev/null
entries=$(grep -c '\\n' "$home/.xscreensaver")
echo "--add-to-screensaver gave the daemon a list of $entries, tavelune last"
as_user xscreensaver -no-splash >"$out/xscreensaver.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do as_user xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.2; done
as_user xscreensaver-command -select "$entries"
root=$(xwininfo -root | awk '/Window id/ { print $4 }')
until_filled daemon "$root" || fail "the daemon's screen shows no figure: $(cat "$out/xscreensaver.log")"
pgrep -u nobody -f -- "tavelune --root" >/dev/null || fail "the daemon did not run the program"
as_user xscreensaver-command -deactivate
started=$(date +%s%N)
for _ in $(seq 100); do pgrep -u nobody -f -- "tavelune --root" >/dev/null || break; sleep 0.05; done
! pgrep -u nobody -f -- "tavelune --root" >/dev/null || fail "the program is still running after -deactivate"
echo "xscreensaver ran the program, and it was gone $(( ($(date +%s%N) - started) / 1000000 )) ms after -deactivate"
as_user xscreensaver-command -exit >/dev/null
