#!/bin/bash
# The receiver in a tray: on a virtual X display with a tray host (trayer)
# its icon docks; a call broadcast on the private test network shows a
# notification beside the icon with the phone-book name; a click on the
# notification opens the history window, which lists the call; the call is
# in the history file. Leaves screenshots of the notification and the
# history window in the folder given.
#
# usage: tray_test.sh PROGRAM SCREENSHOT_FOLDER
#   tools/netns-run xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" tray_test.sh ...
set -u
program=$1
shots=$2
title="Orvanta Alıcı - Arama Geçmişi"

program_class=orvanta-alici
source "$(dirname "$0")/../../../desktop/test/tray_harness.sh"
# No notification service here: the notification is the tray's balloon.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"

other_windows() { program_windows | grep -v "^$icon "; }
history_window() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1; }
history_shown() { [ -n "$(history_window)" ]; }
send() {
  printf '%b' "$1" | socat -u - UDP-DATAGRAM:255.255.255.255:18900,broadcast
}
in_history() { grep -q "$1" "$work/AliciGecmis.csv" 2>/dev/null; }
mkdir -p "$shots"

cp "$program" "$work/orvanta-alici"
printf '0212 555 01 02;Ayşe Demir\n0532 444 33 22;Mehmet Öz (Depo)\n' >"$work/Rehber.csv"

start_tray_host

"$work/orvanta-alici" >"$work/output.txt" 2>&1 &
program_pid=$!
pids+=($program_pid)

panel=$(xwininfo -root -tree | awk '/"panel"/ { print $1; exit }')
docked() { xwininfo -tree -id "$panel" | grep -q '("orvanta-alici" "orvanta-alici")'; }
wait_for 30 docked || fail "the icon did not dock in the tray"
wait_for 10 docked_icon || fail "the docked icon is not visible"
icon=${icon_line%% *}
echo "ok: the icon docked"
history_shown && fail "the history window showed by itself"

# Two earlier calls for the list, then the one the notification shows.
send 'HAT=1\r\nNUMARA=0532 444 33 22'
wait_for 15 in_history "Mehmet" || fail "the first call is not in the history"
send 'HAT=01\r\nNUMARA=555 55 55'
wait_for 15 in_history "Test mesajı" || fail "the test datagram is not in the history"
sleep 1.2  # past the one-notification-a-second gate
send 'HAT=2\r\nNUMARA=+90 212 555 01 02'
wait_for 15 in_history "Ayşe Demir" || fail "the call is not in the history with its name"
echo "ok: the calls are in the history file with their names"

# Read in one go: a notification may leave between two questions.
balloon_seen() { read -r balloon bx by bw bh <<<"$(other_windows | head -1)"; [ -n "${bh:-}" ]; }
wait_for 15 balloon_seen || fail "no notification appeared"
left=$((bx - 20 < 0 ? 0 : bx - 20))
# X tells no event when a window has painted itself; the pauses only serve
# the screenshots, nothing is asserted on them.
sleep 0.3
import -window root -crop "$((1280 - left))x$((by + bh + 10))+$left+0" "$shots/linux-receiver-notification.png"
echo "ok: the notification appeared at $bx,$by (${bw}x$bh)"

# A click on the notification opens the history.
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2)) click 1
wait_for 15 history_shown || fail "a click on the notification did not open the history"
window=$(history_window)
sleep 0.5  # as above, for the screenshot alone
import -window "$window" "$shots/linux-receiver-history.png"
echo "ok: the history window opened"

kill "$program_pid"
wait "$program_pid"
code=$?
[ "$code" = 0 ] || fail "the program ended with $code on SIGTERM"
echo "ok: the program ended cleanly"
echo "screenshots: $shots/linux-receiver-notification.png $shots/linux-receiver-history.png"
