#!/bin/bash
# The program in a tray: on a virtual X display with a tray host (trayer) the
# icon docks, the balloon appears beside it, the right-click menu holds
# "Ayarlar" (shows the window), "Hedefler" and last "Programı Kapat" (ends
# the program), and a double-click shows the window again. Leaves
# screenshots of the balloon, the menu and the settings window (with the
# serial source, and with "Modem" chosen) in the folder given.
#
# usage: tray_test.sh PROGRAM SCREENSHOT_FOLDER
# Run it on its own display and inside the private test network (the program
# opens its UDP channel):
#   tools/netns-run xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" tray_test.sh ...
set -u
program=$1
shots=$2
caption="VELMORIS Orvanta s1.02.05f"

program_class=orvanta
source "$(dirname "$0")/../../../desktop/test/tray_harness.sh"

# The program's windows other than the icon, the one named excepted.
other_windows() { program_windows | grep -v "^$icon " | grep -v "^${1:-none} "; }
no_other_window() { [ -z "$(other_windows "${1:-}")" ]; }
settings_window() { xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -1; }
settings_shown() { [ -n "$(settings_window)" ]; }
settings_hidden() { [ -z "$(settings_window)" ]; }
program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
mkdir -p "$shots"

# A serial device for the serial source the settings choose.
socat pty,raw,echo=0,link="$work/device" pty,raw,echo=0,link="$work/line" \
  >"$work/socat.txt" 2>&1 &
pids+=($!)
wait_for 10 test -e "$work/line" || fail "socat made no terminal pair"
# The line's far end stays open: closing it would end the pair.
exec 7<>"$work/line"
cp "$program" "$work/orvanta"
printf '\xef\xbb\xbf[VmStored]\r\nCALLERIDKULLAN=True\r\nCALLERIDTYPE=2\r\n' >"$work/Setting.ini"
printf 'UDPPORT=18900\r\n' >>"$work/Setting.ini"
printf '[ComPortCallerID]\nPort=%s\nBaudRate=9600\n' "$work/device" >"$work/calleridcomport.ini"
# Destinations for the "Hedefler" dialog to list, inside the private network.
printf '\xef\xbb\xbf[Webhook1]\r\nURL=http://192.168.1.5:8123/api/webhook/arama\r\n' >"$work/Hedefler.ini"
printf '[MQTT]\r\nURL=mqtt://192.168.1.10:1883\r\nUSER=ev\r\n' >>"$work/Hedefler.ini"

start_tray_host

"$work/orvanta" >"$work/output.txt" 2>&1 &
program_pid=$!
pids+=($program_pid)

# The icon docks inside the tray's panel.
panel=$(xwininfo -root -tree | awk '/"panel"/ { print $1; exit }')
docked() { xwininfo -tree -id "$panel" | grep -q '("orvanta" "orvanta")'; }
wait_for 10 docked || fail "the icon did not dock in the tray"
wait_for 10 docked_icon || fail "the docked icon is not visible"
icon=${icon_line%% *}
read -r _ icon_x icon_y icon_w icon_h <<<"$icon_line"
echo "ok: the icon docked at $icon_x,$icon_y (${icon_w}x$icon_h)"
settings_hidden || fail "the window showed by itself"

# The start-up balloon, beside the icon, gone after its 5 seconds.
# Each window is read in one go: it may leave between two questions.
balloon_seen() { read -r balloon bx by bw bh <<<"$(other_windows | head -1)"; [ -n "${bh:-}" ]; }
wait_for 5 balloon_seen || fail "no balloon appeared"
left=$((bx - 20 < 0 ? 0 : bx - 20))
import -window root -crop "$((1280 - left))x$((by + bh + 10))+$left+0" "$shots/linux-tray-balloon.png"
echo "ok: the balloon appeared at $bx,$by (${bw}x$bh)"
wait_for 9 no_other_window || fail "the balloon stayed beyond its time"
echo "ok: the balloon went away"

# A single click does nothing; the right button opens the menu.
cx=$((icon_x + icon_w / 2)); cy=$((icon_y + icon_h / 2))
xdotool mousemove "$cx" "$cy" click 1
# That nothing happens gives X no event to wait for: a pause past the
# double-click time instead.
sleep 0.5
no_other_window && settings_hidden || fail "a single click did something"
# The menu is the program's window that is neither the icon nor the settings.
menu_seen() { read -r menu mx my mw mh <<<"$(other_windows "$1" | head -1)"; [ -n "${mh:-}" ]; }
open_menu() {
  local shown
  shown=$(settings_window)
  xdotool mousemove "$cx" "$cy" click 3
  wait_for 5 menu_seen "$shown" || fail "no menu opened"
}
open_menu
left=$((mx - 20 < 0 ? 0 : mx - 20))
import -window root -crop "$((1280 - left))x$((my + mh + 10))+$left+0" "$shots/linux-tray-menu.png"
echo "ok: the menu opened (${mw}x$mh)"

# First item: "Ayarlar" shows the settings window.
xdotool mousemove $((mx + mw / 2)) $((my + mh / 4)) click 1
wait_for 5 settings_shown || fail "Ayarlar did not show the window"
window=$(settings_window)
# X tells no event when the window has painted itself; the pause only
# serves the screenshot, nothing is asserted on it.
sleep 0.5
import -window "$window" "$shots/linux-settings-window.png"
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "ok: Ayarlar showed the window (${WIDTH}x$HEIGHT)"
[ "$WIDTH" = 448 ] && [ "$HEIGHT" = 532 ] || fail "window is ${WIDTH}x$HEIGHT, not 448x532"

# A call, then "Modem" (the second column's lower item of the source group):
# its options and its log, which shows the call, in the serial panel's place.
printf 'S  05321234567E' >&7
xdotool mousemove $((X + 8 + 23 + 194 + 20)) $((Y + 24 + 140 + 45)) click 1
sleep 0.5  # as above, for the screenshot alone
import -window "$window" "$shots/linux-settings-modem.png"
echo "ok: the modem's options shown"

# "Gizle" hides it; a double-click on the icon brings it back.
xdotool mousemove $((X + 8 + 216 + 50)) $((Y + 483 + 5 + 15)) click 1
wait_for 5 settings_hidden || fail "Gizle did not hide the window"
xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
wait_for 5 settings_shown || fail "a double-click did not show the window"
echo "ok: Gizle hid the window and a double-click brought it back"

# Middle item: "Hedefler" opens the destinations dialog; "İptal" closes it.
dialog_window() { xdotool search --onlyvisible --name '^Hedefler$' 2>/dev/null | head -1; }
dialog_shown() { [ -n "$(dialog_window)" ]; }
dialog_gone() { [ -z "$(dialog_window)" ]; }
open_menu
xdotool mousemove $((mx + mw / 2)) $((my + mh / 2)) click 1
wait_for 5 dialog_shown || fail "Hedefler did not open the dialog"
dialog=$(dialog_window)
import -window "$dialog" "$shots/linux-destinations-dialog.png"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 476 + 38)) $((Y + 342 + 12)) click 1
wait_for 5 dialog_gone || fail "İptal did not close the dialog"
echo "ok: Hedefler opened the destinations dialog and İptal closed it"

# Last item: "Programı Kapat" ends the program at once, without a question.
open_menu
xdotool mousemove $((mx + mw / 2)) $((my + 3 * mh / 4)) click 1
wait_for 5 program_ended || fail "Programı Kapat did not end the program"
wait "$program_pid"
echo "ok: Programı Kapat ended the program (exit code $?)"
echo "screenshots: $shots/linux-tray-balloon.png $shots/linux-tray-menu.png $shots/linux-settings-window.png $shots/linux-settings-modem.png $shots/linux-destinations-dialog.png"
