#!/bin/bash
# Builds the Debian package from a configured and built tree, checks what it
# holds and declares, and starts the program unpacked from it without a
# display.  Usage: deb_test.sh BUILD_DIR
set -uo pipefail
build="$1"
work="$(mktemp -d)"
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack" >&2; exit 1; }
deb=$(ls "$work"/out/orvanta_*_amd64.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { ls -R "$work/out"; echo "FAIL: no orvanta_<version>_amd64.deb" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(basename "$deb")" = "orvanta_${version}_amd64.deb" ] ||
  fail "file name $(basename "$deb"), want orvanta_${version}_amd64.deb"

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

mkdir -p "$work/root"
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
grep -qx /etc/xdg/autostart/orvanta.desktop "$work/control/conffiles" ||
  fail "autostart entry is not a conffile"

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

# The unpacked program finds every library it needs and is stripped.
program="$work/root/usr/bin/orvanta"
ldd "$program" | grep 'not found' && fail "unresolved libraries"
file "$program" | grep -q ', stripped' || fail "program not stripped: $(file "$program")"

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

[ "$failures" -eq 0 ] || exit 1
echo "package ok: $(basename "$deb")"
