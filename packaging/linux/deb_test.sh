#!/bin/bash
# Builds the Debian packages (orvanta, the announcer; orvanta-alici, the
# receiver) from a configured and built tree, checks what they hold and
# declare, and starts each program unpacked from them without a display.
# Runs inside the private test network (tools/netns-run): the receiver is
# sent a call.  Usage: deb_test.sh BUILD_DIR
set -uo pipefail
build="$1"
work="$(mktemp -d)"
program_pid=
receiver_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$work/out/orvanta_${version}_amd64.deb"
receiver_deb="$work/out/orvanta-alici_${version}_amd64.deb"
for f in "$deb" "$receiver_deb"; do
  [ -f "$f" ] || { ls -R "$work/out"; echo "FAIL: no $(basename "$f")" >&2; exit 1; }
done

# Control fields: name, version, and dependencies found from the libraries
# the program links.
info=$(dpkg-deb -I "$deb")
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orvanta ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
for dep in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6; do
  field Depends | tr ',' '\n' | awk '{print $1}' | grep -qxF "$dep" || fail "Depends lacks $dep: $(field Depends)"
done
grep -q 'conffiles' <<<"$info" || fail "no conffiles"
rfield() { dpkg-deb -f "$receiver_deb" "$1"; }
[ "$(rfield Package)" = orvanta-alici ] || fail "receiver Package: $(rfield Package)"
[ "$(rfield Version)" = "$version" ] || fail "receiver Version: $(rfield Version)"
[ "$(rfield Architecture)" = amd64 ] || fail "receiver Architecture: $(rfield Architecture)"
for dep in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6; do
  rfield Depends | tr ',' '\n' | awk '{print $1}' | grep -qxF "$dep" ||
    fail "receiver Depends lacks $dep: $(rfield Depends)"
done
# A PC that only shows calls installs the receiver alone.
rfield Depends | tr ',' '\n' | awk '{print $1}' | grep -qxF orvanta &&
  fail "the receiver depends on the announcer: $(rfield Depends)"

# Files.
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/orvanta \
         ./usr/share/applications/orvanta.desktop \
         ./usr/share/icons/hicolor/16x16/apps/orvanta.png \
         ./usr/share/icons/hicolor/256x256/apps/orvanta.png \
         ./etc/xdg/autostart/orvanta.desktop \
         ./lib/systemd/system/orvanta.service \
         ./usr/share/doc/orvanta/copyright \
         ./usr/share/doc/orvanta/changelog.gz; do
  grep -qx -- "$f" <<<"$contents" || fail "missing $f"
done
dpkg-deb -c "$deb" | awk '$2 != "root/root" {print}' | grep . && fail "files not owned by root"
receiver_contents=$(dpkg-deb -c "$receiver_deb" | awk '{print $6}')
for f in ./usr/bin/orvanta-alici \
         ./usr/share/applications/orvanta-alici.desktop \
         ./usr/share/icons/hicolor/16x16/apps/orvanta-alici.png \
         ./usr/share/icons/hicolor/256x256/apps/orvanta-alici.png \
         ./etc/xdg/autostart/orvanta-alici.desktop \
         ./usr/share/doc/orvanta-alici/copyright \
         ./usr/share/doc/orvanta-alici/changelog.gz; do
  grep -qx -- "$f" <<<"$receiver_contents" || fail "receiver package lacks $f"
done
dpkg-deb -c "$receiver_deb" | awk '$2 != "root/root" {print}' | grep . &&
  fail "receiver files not owned by root"
# Both packages install side by side: no file is in both.
shared=$(comm -12 <(grep -v '/$' <<<"$contents" | sort) \
                  <(grep -v '/$' <<<"$receiver_contents" | sort))
[ -z "$shared" ] || fail "files in both packages: $shared"

mkdir -p "$work/root"
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -x "$receiver_deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
dpkg-deb -e "$receiver_deb" "$work/receiver-control"
grep -qx /etc/xdg/autostart/orvanta.desktop "$work/control/conffiles" ||
  fail "autostart entry is not a conffile"
grep -qx /etc/xdg/autostart/orvanta-alici.desktop "$work/receiver-control/conffiles" ||
  fail "the receiver's autostart entry is not a conffile"

# The service: the installed program, offscreen, its settings in
# /var/lib/orvanta, a user of its own that may open serial ports.
unit="$work/root/lib/systemd/system/orvanta.service"
for line in 'ExecStart=/usr/bin/orvanta --settings-dir /var/lib/orvanta' \
            'Environment=QT_QPA_PLATFORM=offscreen' \
            'StateDirectory=orvanta' \
            'DynamicUser=yes' \
            'SupplementaryGroups=dialout' \
            'WantedBy=multi-user.target'; do
  grep -qxF -- "$line" "$unit" || fail "orvanta.service lacks: $line"
done
autostart="$work/root/etc/xdg/autostart/orvanta.desktop"
for line in 'Type=Application' 'Exec=orvanta' 'Icon=orvanta'; do
  grep -qxF -- "$line" "$autostart" || fail "autostart entry lacks: $line"
done
receiver_autostart="$work/root/etc/xdg/autostart/orvanta-alici.desktop"
for line in 'Type=Application' 'Exec=orvanta-alici' 'Icon=orvanta-alici'; do
  grep -qxF -- "$line" "$receiver_autostart" || fail "receiver autostart entry lacks: $line"
done

# The unpacked programs find every library they need and are stripped.
program="$work/root/usr/bin/orvanta"
receiver="$work/root/usr/bin/orvanta-alici"
for p in "$program" "$receiver"; do
  ldd "$p" | grep 'not found' && fail "unresolved libraries of $p"
  file "$p" | grep -q ', stripped' || fail "program not stripped: $(file "$p")"
done

# Started headless, as the service starts it, it says so and keeps running
# until it is told to end.
mkdir -p "$work/settings"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
  "$program" --settings-dir "$work/settings" >"$work/out.log" 2>&1 &
program_pid=$!
for _ in $(seq 200); do
  grep -q 'running without windows' "$work/out.log" && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q 'running without windows' "$work/out.log"; then
  fail "the headless program did not report its start"; cat "$work/out.log" >&2
fi
if kill -0 "$program_pid" 2>/dev/null; then
  kill -TERM "$program_pid"
  wait "$program_pid"
  program_pid=
else
  wait "$program_pid"
  fail "the headless program ended by itself (status $?)"; cat "$work/out.log" >&2
  program_pid=
fi

# The receiver started headless, from a session's autostart on a machine
# whose display is gone: it listens, keeps a call it is sent in its history
# with the phone-book name, and ends cleanly when told to.
port=18974
settings="$work/config/orvanta"
mkdir -p "$settings"
printf '[VmStored]\r\nUDPPORT=%s\r\n' "$port" >"$settings/Alici.ini"
name=$'Ay\xc5\x9fe Demir'
printf '0212 555 01 02;%s\n' "$name" >"$settings/Rehber.csv"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work/config" \
  "$receiver" >"$work/receiver.log" 2>&1 &
receiver_pid=$!
listening="listening on UDP port $port"
for _ in $(seq 200); do
  grep -q "$listening" "$work/receiver.log" && break
  kill -0 "$receiver_pid" 2>/dev/null || break
  sleep 0.1
done
if grep -q "$listening" "$work/receiver.log"; then
  # Sent again until heard: a repeat within 2 s counts once.
  for _ in $(seq 50); do
    # One datagram (bash's /dev/udp would send one per line).
    printf 'HAT=2\r\nNUMARA=0212 555 01 02' | socat -u - UDP-DATAGRAM:127.0.0.1:"$port"
    grep -qF "$name" "$settings/AliciGecmis.csv" 2>/dev/null && break
    sleep 0.2
  done
  grep -qF ";2;0212 555 01 02;$name" "$settings/AliciGecmis.csv" 2>/dev/null ||
    fail "the headless receiver kept no call: $(cat "$settings/AliciGecmis.csv" 2>&1)"
else
  fail "the headless receiver did not report its start"; cat "$work/receiver.log" >&2
fi
if kill -0 "$receiver_pid" 2>/dev/null; then
  kill -TERM "$receiver_pid"
  wait "$receiver_pid"
  status=$?
  receiver_pid=
  [ "$status" -eq 0 ] || fail "the receiver ended with status $status on SIGTERM"
else
  wait "$receiver_pid"
  fail "the headless receiver ended by itself (status $?)"; cat "$work/receiver.log" >&2
  receiver_pid=
fi

[ "$failures" -eq 0 ] || exit 1
echo "packages ok: $(basename "$deb") $(basename "$receiver_deb")"
