# What the tray tests of both programs share; sourced, not run. Before
# sourcing, set `program_class` (the X class of the program's windows). It
# checks the test runs on a display inside the private test network, makes
# the scratch folder `work` (removed at exit with every process in `pids`),
# and gives fail, wait_for, program_windows and start_tray_host.

if ! "$(dirname "${BASH_SOURCE[0]}")/../../tools/in-private-net"; then
  echo "FAIL: not inside the private test network (use tools/netns-run)"
  exit 1
fi
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no display (use xvfb-run)"; exit 1; }

work=$(mktemp -d)
pids=()
# A process that does not end on SIGTERM within 15 seconds is killed, and
# said so: a hung program must fail the test, not stall it until its timeout.
cleanup() {
  local pid until
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  until=$((SECONDS + 15))
  for pid in "${pids[@]}"; do
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $until ]; do sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
      echo "FAIL: process $pid did not end on SIGTERM; killed"
      kill -KILL "$pid" 2>/dev/null
      trap - EXIT
      wait "$pid" 2>/dev/null
      rm -rf "$work"
      exit 1
    fi
    wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- program output"; cat "$work/output.txt" 2>/dev/null
  exit 1
}
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local until=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $until ] || return 1
    sleep 0.1
  done
}
# Visible windows of the program: "id x y width height" per line.
program_windows() {
  local id geometry
  for id in $(xdotool search --onlyvisible --class "$program_class" 2>/dev/null); do
    # A window can go between the search and this question (a notification
    # that timed out): skip it rather than print an empty line.
    geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)
    [ -n "$geometry" ] || continue
    eval "$geometry"
    echo "$WINDOW $X $Y $WIDTH $HEIGHT"
  done
}
# The program's docked icon (a window of at most 32x32) as
# "id x y width height" in icon_line. Docking comes before the icon window is
# mapped, so callers wait on this rather than read it once.
docked_icon() {
  icon_line=$(program_windows | awk '$4 <= 32 && $5 <= 32' | head -1)
  [ -n "$icon_line" ]
}
# A tray host (trayer) docked at the top right of the display. The display
# has to answer first; a tray host that could not reach it and ended before
# its panel showed is started again, twice at most, and its output shown.
start_tray_host() {
  local attempt tray_pid
  wait_for 10 xwininfo -root >/dev/null 2>&1 || fail "the virtual display does not answer"
  for attempt in 1 2 3; do
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
      --transparent false --tint 0xc0c0c0 >"$work/trayer.txt" 2>&1 &
    tray_pid=$!
    pids+=($tray_pid)
    wait_for 30 tray_panel_or_exit "$tray_pid"
    tray_panel_shown && return
    kill -0 "$tray_pid" 2>/dev/null && break
    echo "note: the tray host ended before its panel showed (attempt $attempt):"
    cat "$work/trayer.txt"
  done
  echo "--- tray host output"; cat "$work/trayer.txt"
  fail "trayer did not start"
}
tray_panel_shown() { xwininfo -root -tree 2>/dev/null | grep -q '"panel"'; }
tray_panel_or_exit() { tray_panel_shown || ! kill -0 "$1" 2>/dev/null; }
