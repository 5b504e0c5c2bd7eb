#!/usr/bin/env bash
# tavelune --png never destroys what stands at the path it is given: a pipe or a device is
# written in place and stays what it was, a link keeps pointing at its target, a full disk
# keeps the old file whole, and - is standard output.
set -euo pipefail
app=$1 out=$2
rm -rf "$out" && mkdir -p "$out" && cd "$out"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

fail() { echo "FAIL: $*"; exit 1; }
is_png() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] && grep -a -q "tavelune:figure" "$1"; }

code=$("$app" --png reference.png)

mkfifo pipe
cat pipe >from-pipe.png &
reader=$!
[ "$("$app" --png pipe --figure "$code")" = "$code" ] || fail "--png into a pipe"
wait "$reader"
[ -p pipe ] || fail "the pipe was replaced"
cmp reference.png from-pipe.png || fail "the pipe's reader got another file"
echo "a named pipe is written in place, and is still a pipe"

"$app" --png - --figure "$code" >stdout.png 2>stderr.txt
cmp reference.png stdout.png || fail "--png - did not give the figure's PNG on standard output"
[ ! -s stderr.txt ] || fail "--png - said something: $(cat stderr.txt)"
[ ! -e ./- ] || fail "--png - made a file named -"
echo "--png - writes the PNG to standard output"

mkdir target && echo old >target/figure.png && ln -s target/figure.png link.png
"$app" --png link.png --figure "$code" >/dev/null
[ -L link.png ] && [ "$(readlink link.png)" = target/figure.png ] || fail "the link was replaced"
cmp reference.png target/figure.png || fail "the link's target does not hold the figure"
echo "a symbolic link keeps pointing at its target, which holds the figure"

status=0
"$app" --png reference.png --figure "$code" >/dev/full 2>stderr.txt || status=$?
[ "$status" -eq 1 ] && grep -q "standard output" stderr.txt || fail "a lost code exited $status: $(cat stderr.txt)"
echo "a code that cannot be printed fails with status 1 ($(cat stderr.txt))"

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP the device node and the full disk: they need root"
  exit 0
fi

mknod null c 1 3
"$app" --png null --figure "$code" >/dev/null
[ -c null ] || fail "the device node was replaced"
status=0
"$app" --png /dev/full --figure "$code" >/dev/null 2>stderr.txt || status=$?
[ "$status" -eq 1 ] && [ -c /dev/full ] || fail "--png /dev/full exited $status, and /dev/full is $(stat -c %F /dev/full)"
echo "device nodes are written in place and stay devices; /dev/full fails: $(cat stderr.txt)"

mkdir small && mount -t tmpfs -o size=64k tmpfs small || { echo "SKIP the full disk: no tmpfs could be mounted"; exit 0; }
trap 'umount "$out/small"' EXIT
echo "the old file" >small/figure.png
status=0
"$app" --png small/figure.png --figure "$code" --scale 4 >/dev/null 2>stderr.txt || status=$?
[ "$status" -eq 1 ] || fail "a full disk exited $status"
[ "$(cat small/figure.png)" = "the old file" ] || fail "the full disk lost the old file"
[ "$(ls small)" = figure.png ] || fail "the full disk left $(ls small)"
[ "$(wc -l <stderr.txt)" -eq 1 ] && grep -q "No space left on device" stderr.txt || fail "the message: $(cat stderr.txt)"
echo "a full disk keeps the old file whole and says once: $(cat stderr.txt)"
