#!/usr/bin/env bash
# tavelune --png as a user runs it: no display, the same code gives the same bytes, the size
# follows the scale, the code travels in the file, and every bad input is refused with its
# status and leaves no file behind.
set -euo pipefail
app=$1 out=$2 version=$3
rm -rf "$out" && mkdir -p "$out" && cd "$out"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

fail() { echo "FAIL: $*"; exit 1; }
# The width and height in a PNG's header, big-endian at bytes 16 to 23.
size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }
# Runs the app, expecting status $1, and that it leaves no file in this folder.
refused() {
  local want=$1 status=0
  shift
  "$app" "$@" >stdout.txt 2>stderr.txt || status=$?
  [ "$status" -eq "$want" ] || fail "tavelune $* exited $status, not $want"
  grep -q . stderr.txt || fail "tavelune $* said nothing on standard error"
  [ -z "$(ls -A | grep -v -x -e stdout.txt -e stderr.txt -e first.png -e again.png)" ] || fail "tavelune $* left a file: $(ls)"
  echo "refused with $status: tavelune $* ($(head -n 1 stderr.txt))"
}

code=$("$app" --png first.png)
[[ "$code" =~ ^[0-9A-Z]{18}$ ]] || fail "no figure code on standard output: '$code'"
[ "$(size first.png)" = 500x500 ] || fail "first.png is $(size first.png)"
grep -a -q "tavelune:figure.$code" first.png || fail "the PNG does not carry its code"
[ "$("$app" --png again.png --figure "$code")" = "$code" ] || fail "the code changed"
cmp first.png again.png || fail "the same code gave another file"
echo "the code $code gives the same bytes again"

# The pixels a metre across, big-endian after the pHYs chunk's name.
density() {
  local at
  at=$(grep -obUa pHYs "$1" | head -n 1 | cut -d: -f1)
  od -An -tu1 -j$((at + 4)) -N4 "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 }'
}
for scale in 0.25 1.5 2; do
  "$app" --png "s$scale.png" --figure "$code" --scale "$scale" >/dev/null
  want=$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 500 * s + 0.5, 500 * s + 0.5 }')
  [ "$(size "s$scale.png")" = "$want" ] || fail "--scale $scale gave $(size "s$scale.png"), not $want"
  # 96 dots an inch times the scale: every scale prints at one size.
  want=$(awk -v s="$scale" 'BEGIN { printf "%d", 96 * s / 0.0254 + 0.5 }')
  [ "$(density "s$scale.png")" = "$want" ] || fail "--scale $scale has $(density "s$scale.png") pixels a metre, not $want"
  rm "s$scale.png"
done
echo "the size and the resolution follow the scale"

changed=${code:0:5}$([ "${code:5:1}" = A ] && echo B || echo A)${code:6}
refused 2 --png bad.png --figure "$changed"
refused 2 --png bad.png --figure "${code:0:17}"
refused 2 --png bad.png --figure "${code}0"
refused 2 --png bad.png --scale 0.1
refused 2 --png bad.png --scale 9
refused 2 --png bad.png --scale two
refused 2 --png bad.png --colour red
refused 2 --scale 2
refused 2 --png bad.png stray
refused 1 --png no/such/folder/bad.png
refused 1 --png first.png/bad.png
refused 2 --png a.png --png b.png
refused 2 --png bad.jpg

# Without a display: a plain word and a status, never Qt's abort and a core dump.
without_display() {
  local want=$1 says=$2 status=0
  shift 2
  env "$@" >stdout.txt 2>stderr.txt || status=$?
  [ "$status" -eq "$want" ] || fail "$* exited $status, not $want: $(cat stderr.txt)"
  grep -q -F -- "$says" stderr.txt || fail "$* did not say '$says': $(cat stderr.txt)"
  [ -z "$(ls -A | grep -v -x -e stdout.txt -e stderr.txt -e first.png -e again.png)" ] || fail "$* left a file: $(ls)"
  echo "without a display, status $status: $* ($(grep -F -- "$says" stderr.txt))"
}
no_display=(-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
without_display 1 "tavelune: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); tavelune --png FILE paints without one" \
  "${no_display[@]}" "$app"
without_display 2 "Unknown option 'no-such-option'" "${no_display[@]}" "$app" --no-such-option
without_display 2 '"BADCODE" is not a figure code' "${no_display[@]}" "$app" --figure BADCODE
# A display that is named but not there, and Wayland without a compositor.
without_display 1 "the display could not be opened (DISPLAY=:99" "${no_display[@]}" DISPLAY=:99 "$app"
without_display 1 "the display could not be opened (QT_QPA_PLATFORM=wayland" "${no_display[@]}" \
  QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR="$out" "$app"

# Large figures are painted by every core: any number of threads gives the same bytes, and
# a number that is none is refused before anything is painted.
TAVELUNE_THREADS=1 "$app" --png one.png --figure "$code" --scale 2.5 >/dev/null
TAVELUNE_THREADS=3 "$app" --png three.png --figure "$code" --scale 2.5 >/dev/null
cmp one.png three.png || fail "three threads painted another figure than one"
rm one.png three.png
for threads in 0 two 99; do
  status=0
  TAVELUNE_THREADS=$threads "$app" --png threads.png >stdout.txt 2>stderr.txt || status=$?
  [ "$status" -eq 2 ] && grep -q "TAVELUNE_THREADS=$threads" stderr.txt && [ ! -e threads.png ] ||
    fail "TAVELUNE_THREADS=$threads exited $status: $(cat stderr.txt)"
done
echo "one and three threads give the same bytes; TAVELUNE_THREADS 0, two and 99 are refused: $(cat stderr.txt)"

# Codes as people type them: any case, I and L for 1, O for 0, dashes and spaces between groups.
typed=$(echo "${code:0:6}-${code:6:6} ${code:12}" | tr 'A-Z' 'a-z' | sed 's/1/l/; s/0/o/')
"$app" --png typed.png --figure "$typed" >/dev/null
cmp first.png typed.png || fail "the code typed as $typed gave another file"
rm typed.png
echo "the code typed as $typed gives the same bytes"

"$app" --version | head -n 1 | grep -q -x "tavelune $version" || fail "--version"
# Under it, the code that paints: each kernel's path and the workers, the choice or the override.
"$app" --version | sed -n 2p | grep -q -E -x "painter (baseline|avx2|avx512), sines (baseline|avx2|avx512), [0-9]+ workers?" ||
  fail "--version does not say which paths paint"
[ "$(TAVELUNE_CPU=baseline TAVELUNE_THREADS=1 "$app" --version | sed -n 2p)" = "painter baseline, sines baseline, 1 worker" ] ||
  fail "--version does not follow TAVELUNE_CPU and TAVELUNE_THREADS"
"$app" --help | grep -q -- "--png" || fail "--help"
echo "--help and --version answer"


# tavelune into a user's list of xscreensaver's screensavers: the system's list where the
# user has none, once however often asked, and never into a read-only file.
home="$out/home"
mkdir -p "$home"
if [ -r /etc/X11/app-defaults/XScreenSaver ]; then
  HOME=$home "$app" --add-to-screensaver >stdout.txt || fail "--add-to-screensaver on a fresh home"
  grep -c -E '^[[:space:]]*tavelune --root' "$home/.xscreensaver" | grep -q -x 1 || fail "no tavelune entry in a new ~/.xscreensaver"
  grep -q -E '^[[:space:]]*maze --root' "$home/.xscreensaver" || fail "the new ~/.xscreensaver lost the system's list"
  cp "$home/.xscreensaver" once
  HOME=$home "$app" --add-to-screensaver >stdout.txt || fail "--add-to-screensaver twice"
  cmp once "$home/.xscreensaver" || fail "a second --add-to-screensaver changed the file"
  rm once
  echo "--add-to-screensaver: $(head -n 1 stdout.txt)"
fi
printf '# mine\nselected: 0\nprograms: maze --root \\n\n' >"$home/.xscreensaver"
chmod a-w "$home/.xscreensaver"
status=0
HOME=$home "$app" --add-to-screensaver >stdout.txt 2>stderr.txt || status=$?
[ "$status" -eq 1 ] && grep -q "read-only" stderr.txt || fail "a read-only ~/.xscreensaver gave status $status"
! grep -q tavelune "$home/.xscreensaver" || fail "the read-only file was changed"
echo "refused with 1: a read-only ~/.xscreensaver ($(cat stderr.txt))"
