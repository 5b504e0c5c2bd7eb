# Sourced by the end-to-end tests that need an X server: the tools' check, the server of a
# given size, and the end of everything they started. Expects $out; fills the array pids.

# Skips the test (status 77) where one of the tools is missing.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (see TEST_PACKAGES in the Makefile)"; exit 77; }
  done
}

# The clients first, then the X server, so that none of them finds its display gone.
pids=()
end_all() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 1; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  [ ${#pids[@]} -gt 1 ] && sleep 0.5
  [ ${#pids[@]} -gt 0 ] && kill "${pids[0]}" 2>/dev/null || true
}
trap end_all EXIT

# An Xvfb screen of SIZE (such as 1600x1200) on a free display, which becomes $DISPLAY.
start_x_server() {
  exec 3>"$out/display"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp >"$out/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$out/display")"
}
