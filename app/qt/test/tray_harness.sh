# What the tray tests of both programs share; sourced, not run. Before
# sourcing, set `program_class` (the X class of the program's windows). It
# checks the test runs on a display inside the private test network, makes
# the scratch folder `work` (removed at exit with every process in `pids`),
# and gives fail, wait_for, program_windows and start_tray_host.

if ! "$(dirname "${BASH_SOURCE[0]}")/../../../tools/in-private-net"; then
  echo "FAIL: not inside the private test network (use tools/netns-run)"
  exit 1
fi
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no display (use xvfb-run)"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
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
# A tray host (trayer) docked at the top right of the display.
start_tray_host() {
  trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
    --transparent false --tint 0xc0c0c0 >"$work/trayer.txt" 2>&1 &
  pids+=($!)
  wait_for 30 bash -c 'xwininfo -root -tree | grep -q "\"panel\""' || fail "trayer did not start"
}
