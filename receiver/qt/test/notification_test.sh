#!/bin/bash
# The receiver with the desktop's notification service: on a virtual X
# display with its own session bus and a notification daemon (dunst), every
# call goes to the service (what it received is read off the bus), without a
# tray as with one. Without a tray the history window opens at start; with
# one it stays hidden until a click on the notification opens it.
#
# usage: notification_test.sh PROGRAM SCREENSHOT_FOLDER
#   tools/netns-run xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" notification_test.sh ...
set -u
# A session bus of the test's own, ended with it.
[ -n "${ORVANTA_TEST_BUS:-}" ] || exec env ORVANTA_TEST_BUS=1 dbus-run-session -- "$0" "$@"
program=$1
title="Orvanta Alıcı - Arama Geçmişi"

program_class=orvanta-alici
source "$(dirname "$0")/../../../desktop/test/tray_harness.sh"

history_window() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1; }
history_shown() { [ -n "$(history_window)" ]; }
send() {
  printf '%b' "$1" | socat -u - UDP-DATAGRAM:255.255.255.255:18900,broadcast
}
received() { grep -qF -- "$1" "$work/bus.txt" 2>/dev/null; }
start_program() {
  "$work/orvanta-alici" >>"$work/output.txt" 2>&1 &
  program_pid=$!
  pids+=($program_pid)
}
stop_program() {
  kill "$program_pid"
  wait "$program_pid"
  local code=$?
  [ "$code" = 0 ] || fail "the program ended with $code on SIGTERM"
}

cp "$program" "$work/orvanta-alici"
printf '0212 555 01 02;Ayşe Demir\n0532 444 33 22;Mehmet <Öz> & Co\n' >"$work/Rehber.csv"

# What the notification service is asked, as it arrives on the bus.
dbus-monitor --session \
  "type='method_call',interface='org.freedesktop.Notifications',member='Notify'" \
  >"$work/bus.txt" 2>&1 &
pids+=($!)
cat >"$work/dunstrc" <<'CONFIG'
[global]
    font = DejaVu Sans 10
    origin = top-right
    offset = 10x60
    mouse_left_click = do_action, close_current
[urgency_normal]
    timeout = 0
CONFIG
dunst -config "$work/dunstrc" >"$work/dunst.txt" 2>&1 &
pids+=($!)
# Asked without starting anything: a question to the service's name would
# have the bus start a dunst of its own with its default settings.
service_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null |
    grep -q "boolean true"
}
wait_for 15 service_up || { cat "$work/dunst.txt"; fail "dunst did not start"; }

# No tray at all (a GNOME desktop): the history window is the way in.
wait_for 10 xwininfo -root >/dev/null 2>&1 || fail "the virtual display does not answer"
start_program
wait_for 30 history_shown || fail "without a tray the history window did not open at start"
echo "ok: without a tray the history window opened at start"
send 'HAT=2\r\nNUMARA=+90 212 555 01 02'
wait_for 15 received 'string "Ayşe Demir"' || fail "the notification service got no call"
received 'string "+90 212 555 01 02
Hat: 2"' || { cat "$work/bus.txt"; fail "the notification's text is not the call's"; }
received 'string "default"' || fail "the notification offers no click"
[ "$(dunstctl count displayed)" -ge 1 ] || fail "dunst shows no notification"
echo "ok: the call went to the notification service"
stop_program

# With a tray the notification still goes to the service, received text is
# escaped for its markup, and a click on the notification opens the history.
start_tray_host
start_program
panel=$(xwininfo -root -tree | awk '/"panel"/ { print $1; exit }')
docked() { xwininfo -tree -id "$panel" | grep -q '("orvanta-alici" "orvanta-alici")'; }
wait_for 30 docked || fail "the icon did not dock in the tray"
history_shown && fail "the history window showed by itself although there is a tray"
dunstctl close-all
send 'HAT=1\r\nNUMARA=0532 444 33 22'
wait_for 15 received 'string "Mehmet <Öz> & Co"' || fail "the notification service got no second call"
dunst_window() { xdotool search --onlyvisible --class Dunst 2>/dev/null | head -1; }
wait_for 15 [ -n "$(dunst_window)" ] || fail "dunst shows no window"
eval "$(xdotool getwindowgeometry --shell "$(dunst_window)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
wait_for 15 history_shown || fail "a click on the notification did not open the history"
echo "ok: a click on the service's notification opened the history"
stop_program
echo "ok: the program ended cleanly"
