#!/bin/bash
# Builds the Debian packages (orvanta, the announcer; orvanta-alici, the
# receiver) from a configured and built tree, checks what they hold and
# declare, and starts each program unpacked from them without a display.
# With a Debian system to install them into (DEBIAN_ROOT, made by
# debian_root.sh while building), it also runs their maintainer scripts in a
# throw-away root without systemd, and boots that system under systemd in a
# container (systemd-nspawn), where the hardened services run for real.
# Runs inside the private test network (tools/netns-run): the calls sent
# stay in it. Usage: deb_test.sh BUILD_DIR [DEBIAN_ROOT]
set -uo pipefail
# The throw-away layers are mounted in a mount namespace of the test's own,
# so they go with it whatever happens.
if [ "${ORVANTA_DEB_TEST_MOUNTS:-}" != 1 ]; then
  exec env ORVANTA_DEB_TEST_MOUNTS=1 unshare --mount --propagation private -- "$0" "$@"
fi
build="$1"
debian_root="${2:-}"
work="$(mktemp -d)"
program_pid=
receiver_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null
  [ -n "${listener_pid:-}" ] && kill "$listener_pid" 2>/dev/null
  # Removing a mounted layer would remove through it.
  for m in "$work"/layer-*/merged; do
    [ -d "$m" ] && umount -l "$m" 2>/dev/null
  done
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
         ./usr/share/doc/orvanta/changelog.gz \
         ./usr/share/man/man1/orvanta.1.gz; do
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
         ./usr/share/doc/orvanta-alici/changelog.gz \
         ./usr/share/man/man1/orvanta-alici.1.gz; do
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
# It reaches the serial ports through a closed device list, not all of /dev.
for line in 'DevicePolicy=closed' 'DeviceAllow=char-ttyUSB rw' 'DeviceAllow=char-ttyACM rw' \
            'DeviceAllow=char-ttyS rw'; do
  grep -qxF -- "$line" "$unit" || fail "orvanta.service lacks: $line"
done
grep -qx 'PrivateDevices=yes' "$unit" && fail "orvanta.service hides the serial ports"
# The receiver's: the same, with its own folder and no device at all.
receiver_unit="$work/root/lib/systemd/system/orvanta-alici.service"
for line in 'ExecStart=/usr/bin/orvanta-alici --settings-dir /var/lib/orvanta-alici' \
            'Environment=QT_QPA_PLATFORM=offscreen' \
            'StateDirectory=orvanta-alici' \
            'DynamicUser=yes' \
            'PrivateDevices=yes' \
            'WantedBy=multi-user.target'; do
  grep -qxF -- "$line" "$receiver_unit" || fail "orvanta-alici.service lacks: $line"
done

# How much each service may do, as systemd rates it: "OK" is 2.0 and less.
for u in "$unit" "$receiver_unit"; do
  rating=$(systemd-analyze security --offline=true --no-pager "$u" 2>&1)
  exposure=$(sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p' <<<"$rating")
  echo "$(basename "$u"): exposure $exposure"
  if [ -z "$exposure" ] || ! awk -v e="$exposure" 'BEGIN { exit !(e <= 2.0) }'; then
    fail "$(basename "$u") is rated above 2.0: $(tail -1 <<<"$rating")"
    grep '✗' <<<"$rating" >&2
  fi
done

# The maintainer scripts of both packages.
for control in "$work/control" "$work/receiver-control"; do
  for script in postinst prerm postrm; do
    f="$control/$script"
    if [ ! -f "$f" ]; then
      fail "$(basename "$control"): no $script"
      continue
    fi
    [ -x "$f" ] || fail "$(basename "$control")/$script is not executable"
    sh -n "$f" || fail "$(basename "$control")/$script is not valid sh"
  done
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

# --- The packages installed into a Debian 12 system -----------------------
if [ -z "$debian_root" ]; then
  echo "not checked here: maintainer scripts and services (no Debian system; see debian_root.sh)"
  [ "$failures" -eq 0 ] || exit 1
  echo "packages ok: $(basename "$deb") $(basename "$receiver_deb")"
  exit 0
fi
[ -e "$debian_root/.complete" ] || { echo "FAIL: no Debian system in $debian_root" >&2; exit 1; }

# An upgrade needs a newer version: the same packages, numbered one up.
newer() {  # deb, out
  local tree
  tree="$work/newer/$(basename "$1" .deb)"
  mkdir -p "$work/newer"
  dpkg-deb -R "$1" "$tree"
  sed -i "s/^Version: .*/Version: $version+1/" "$tree/DEBIAN/control"
  dpkg-deb -b "$tree" "$2" >/dev/null
}
mkdir -p "$work/debs"
cp "$deb" "$work/debs/orvanta_old.deb"
cp "$receiver_deb" "$work/debs/orvanta-alici_old.deb"
newer "$deb" "$work/debs/orvanta_new.deb"
newer "$receiver_deb" "$work/debs/orvanta-alici_new.deb"

# A writable layer over the Debian system, which stays as it is.
layer() {  # name; prints the merged folder
  local l="$work/layer-$1"
  mkdir -p "$l/upper" "$l/work" "$l/merged"
  mount -t overlay overlay \
    -o "lowerdir=$debian_root,upperdir=$l/upper,workdir=$l/work" "$l/merged" ||
    { echo "FAIL: cannot mount a layer over $debian_root" >&2; exit 1; }
  echo "$l/merged"
}

# Both units as systemd reads them, with the programs and targets they name.
r=$(layer verify)
dpkg-deb -x "$deb" "$r"
dpkg-deb -x "$receiver_deb" "$r"
if ! verified=$(systemd-analyze verify --root="$r" /lib/systemd/system/orvanta.service \
                  /lib/systemd/system/orvanta-alici.service 2>&1) || [ -n "$verified" ]; then
  fail "systemd-analyze verify: $verified"
fi

# The maintainer scripts where systemd does not run (a chroot, as dpkg
# --root runs them): install, an administrator's enabling, upgrade, remove
# and purge all succeed, and purge leaves the system as it was.
r=$(layer scripts)
# systemd's own folders for the state of DynamicUser= services.
install -d -m 0700 "$r/var/lib/private" "$r/var/cache/private"
snapshot() {
  (cd "$r" && find . -xdev \( -path ./var/lib/dpkg -o -path ./var/log \) -prune -o \
     -printf '%p %y %m %u %g %l\n' | sort)
}
before=$(snapshot)
step() {  # what, dpkg arguments...
  local what="$1"; shift
  dpkg --root="$r" "$@" >"$work/dpkg.log" 2>&1 ||
    { fail "dpkg --root: $what failed"; cat "$work/dpkg.log" >&2; }
  grep -i 'warning\|error' "$work/dpkg.log" >&2 && fail "dpkg --root: $what reported trouble"
}
step install -i "$work"/debs/{orvanta,orvanta-alici}_old.deb
for p in orvanta orvanta-alici; do
  links="$r/var/lib/systemd/deb-systemd-helper-enabled/$p.service.dsh-also"
  grep -qx "/etc/systemd/system/multi-user.target.wants/$p.service" "$links" 2>/dev/null ||
    fail "install: the links of $p.service are not recorded for purge"
  [ -e "$r/etc/systemd/system/multi-user.target.wants/$p.service" ] &&
    fail "install: $p.service was enabled"
  # The administrator enables it, and it ran: systemd made its folders.
  chroot "$r" systemctl enable "$p.service" >/dev/null 2>&1 || fail "systemctl enable $p"
  for d in lib cache; do
    install -d -m 0755 -o 61234 -g 61234 "$r/var/$d/private/$p"
    ln -s "private/$p" "$r/var/$d/$p"
  done
  echo kept >"$r/var/lib/$p/kept"
done
step upgrade -i "$work"/debs/{orvanta,orvanta-alici}_new.deb
step remove -r orvanta orvanta-alici
for p in orvanta orvanta-alici; do
  [ -e "$r/lib/systemd/system/$p.service" ] && fail "remove left $p.service"
  [ -f "$r/var/lib/$p/kept" ] || fail "remove deleted the state of $p"
done
step purge -P orvanta orvanta-alici
left=$(diff <(echo "$before") <(snapshot))
[ -z "$left" ] || fail "purge left the system changed: $left"
for p in orvanta orvanta-alici; do
  dpkg-query --admindir="$r/var/lib/dpkg" -W "$p" >/dev/null 2>&1 &&
    fail "purge: dpkg still knows $p"
done

# --- The services under systemd ---------------------------------------------
# The Debian system boots in a container (systemd-nspawn) that shares the
# private test network; the packages are installed there and the services
# run as the administrator runs them. The container gets a cgroup v2 tree of
# its own and may load BPF programs, so systemd enforces device lists there
# whatever the host mounts; it runs in a control group made for it, so that
# everything it started can be ended with it.
c=$(layer container)
nspawn_pid=
machine="orvanta-test-$$"
groups=()
v2=$(findmnt -n -t cgroup2 -o TARGET | head -1)
[ -n "$v2" ] && groups+=("$v2$(sed -n 's/^0:://p' /proc/self/cgroup)/$machine")
v1=$(sed -n 's/^[0-9]*:name=systemd://p' /proc/self/cgroup)
[ -n "$v1" ] && [ -d /sys/fs/cgroup/systemd ] && groups+=("/sys/fs/cgroup/systemd$v1/$machine")
end_container() {
  [ -n "$nspawn_pid" ] && kill -KILL "$nspawn_pid" 2>/dev/null
  for g in "${groups[@]}"; do
    [ -e "$g/cgroup.kill" ] && echo 1 >"$g/cgroup.kill" 2>/dev/null
  done
  [ -n "$nspawn_pid" ] && wait "$nspawn_pid" 2>/dev/null
  nspawn_pid=
  for g in "${groups[@]}"; do
    [ -d "$g" ] && find "$g" -depth -type d -exec rmdir {} + 2>/dev/null
  done
  rmdir "/run/systemd/nspawn/propagate/$machine" 2>/dev/null
}
trap 'end_container; cleanup' EXIT
(
  for g in "${groups[@]}"; do mkdir -p "$g" && echo "$BASHPID" >"$g/cgroup.procs"; done
  exec env SYSTEMD_NSPAWN_UNIFIED_HIERARCHY=1 systemd-nspawn --quiet --directory="$c" \
    --machine="$machine" --boot --register=no --keep-unit --link-journal=no \
    --console=pipe --system-call-filter=bpf --bind-ro="$work/debs:/srv/debs"
) </dev/null >"$work/nspawn.log" 2>&1 &
nspawn_pid=$!
# Its first process, systemd, is nspawn's child in a process namespace of
# its own.
init_pid=
for _ in $(seq 100); do
  for child in $(ps -o pid= --ppid "$nspawn_pid" 2>/dev/null); do
    ns=$(readlink "/proc/$child/ns/pid" 2>/dev/null)
    [ -n "$ns" ] && [ "$ns" != "$(readlink /proc/self/ns/pid)" ] && init_pid=$child
  done
  [ -n "$init_pid" ] && break
  kill -0 "$nspawn_pid" 2>/dev/null || break
  sleep 0.1
done
inside() {
  nsenter --target "$init_pid" --mount --uts --ipc --net --pid --cgroup -- \
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"
}
journal() { inside journalctl --no-pager -o cat -u "$1" "${@:2}"; }
booted=
if [ -n "$init_pid" ]; then
  # systemctl answers once systemd listens, and waits for the boot to end.
  for _ in $(seq 300); do
    inside test -S /run/systemd/private 2>/dev/null && break
    kill -0 "$init_pid" 2>/dev/null || break
    sleep 0.1
  done
  state=$(inside timeout 60 systemctl is-system-running --wait 2>&1)
  case "$state" in running | degraded) booted=1 ;; esac
fi
if [ -z "$booted" ]; then
  fail "systemd did not boot in the container (${state:-no init}): $(tail -20 "$work/nspawn.log")"
else
  # Installed, the services are known to systemd but neither enabled nor
  # started.
  inside dpkg -i /srv/debs/orvanta_old.deb /srv/debs/orvanta-alici_old.deb \
    >"$work/dpkg.log" 2>&1 || { fail "dpkg -i under systemd"; cat "$work/dpkg.log" >&2; }
  for p in orvanta orvanta-alici; do
    [ "$(inside systemctl is-enabled "$p.service" 2>&1)" = disabled ] ||
      fail "$p.service is not installed disabled: $(inside systemctl is-enabled "$p.service" 2>&1)"
    inside systemctl -q is-active "$p.service" && fail "installing started $p.service"
  done

  # Enabled and started as the README says; without settings it waits.
  inside systemctl enable --now orvanta.service >/dev/null 2>&1 ||
    fail "systemctl enable --now orvanta: $(journal orvanta)"
  # Whether the service's current run has said something on the journal.
  said() {
    inside journalctl --no-pager -o cat \
      _SYSTEMD_INVOCATION_ID="$(inside systemctl show -P InvocationID "$1.service")" |
      grep -qF -- "$2"
  }
  await() { for _ in $(seq 100); do said "$@" && return 0; sleep 0.1; done; return 1; }
  await orvanta 'running without windows' ||
    fail "the service did not report its start on the journal: $(journal orvanta)"
  settings() {  # device, announcement port
    inside sh -c "printf '[VmStored]\r\nCALLERIDKULLAN=True\r\nCALLERIDTYPE=2\r\nCALLERIDNOBASLAMA=1\r\nCALLERIDNOUZUNLUK=0\r\nUDPPORT=$2\r\n' >/var/lib/orvanta/Setting.ini
      printf '[ComPortCallerID]\r\nPort=$1\r\n' >/var/lib/orvanta/calleridcomport.ini"
  }

  # Only the devices of its list: a device outside it (here /dev/net/tun,
  # which anyone may open on Debian) is refused until a drop-in, as the
  # README tells an administrator to write, allows it.
  inside chmod 0666 /dev/net/tun
  settings /dev/net/tun 18900
  inside systemctl restart orvanta.service
  await orvanta 'open /dev/net/tun: Operation not permitted' ||
    fail "the service opened a device outside its list: $(journal orvanta -n 5)"
  inside mkdir -p /etc/systemd/system/orvanta.service.d
  inside sh -c 'printf "[Service]\nDeviceAllow=/dev/net/tun rw\n" >/etc/systemd/system/orvanta.service.d/device.conf'
  inside systemctl daemon-reload
  inside systemctl restart orvanta.service
  await orvanta 'running without windows' || fail "no restart after the drop-in"
  # A refusal that does not come has no event to wait for: the service is
  # given a moment to say it before its journal is read.
  sleep 1
  said orvanta 'open /dev/net/tun' &&
    fail "the drop-in did not allow the device: $(journal orvanta -n 5)"
  inside rm -r /etc/systemd/system/orvanta.service.d
  inside systemctl daemon-reload

  # A caller ID device on a pseudo-terminal in the group dialout (systemd's
  # closed device list always lets services use pseudo-terminals), and a
  # listener for the announcements outside the container.
  inside systemd-run --quiet --unit=caller-id-line socat \
    pty,raw,echo=0,link=/run/caller-id,group=dialout,perm=0660 \
    pty,raw,echo=0,link=/run/caller-id-far
  for _ in $(seq 50); do inside test -e /run/caller-id-far && break; sleep 0.1; done
  device=$(inside readlink /run/caller-id)
  port=18900
  socat -u UDP-RECV:$port,reuseaddr OPEN:"$work/announced",creat,append &
  listener_pid=$!
  settings "$device" "$port"
  inside systemctl restart orvanta.service
  # Sent again until heard: the service may not have opened the line yet.
  call=$'HAT=0\r\nNUMARA=0532 123 45 67'
  for _ in $(seq 50); do
    inside sh -c 'printf "S0532 123 45 67E" >/run/caller-id-far'
    grep -qF "$call" "$work/announced" 2>/dev/null && break
    sleep 0.2
  done
  grep -qF "$call" "$work/announced" 2>/dev/null ||
    fail "the service announced no call: $(journal orvanta -n 20)"

  # The receiver's service keeps the calls it hears in its history.
  history=/var/lib/orvanta-alici/AliciGecmis.csv
  inside systemctl enable --now orvanta-alici.service >/dev/null 2>&1
  await orvanta-alici 'listening on UDP port' ||
    fail "the receiver's service did not start: $(journal orvanta-alici -n 20)"
  for _ in $(seq 50); do
    inside sh -c 'printf "S0212 555 01 02E" >/run/caller-id-far'
    inside grep -q '0212 555 01 02' "$history" 2>/dev/null && break
    sleep 0.2
  done
  inside grep -q ';0;0212 555 01 02;' "$history" 2>/dev/null ||
    fail "the receiver's service kept no call: $(journal orvanta-alici -n 20)"

  # An upgrade restarts the running services, and leaves them enabled.
  invocation() { inside systemctl show -P InvocationID "$1.service"; }
  before_upgrade=$(invocation orvanta)
  receiver_before_upgrade=$(invocation orvanta-alici)
  inside dpkg -i /srv/debs/orvanta_new.deb /srv/debs/orvanta-alici_new.deb \
    >"$work/dpkg.log" 2>&1 || { fail "upgrade under systemd"; cat "$work/dpkg.log" >&2; }
  for p in orvanta orvanta-alici; do
    inside systemctl -q is-active "$p.service" || fail "the upgrade left $p.service stopped"
    [ "$(inside systemctl is-enabled "$p.service")" = enabled ] ||
      fail "the upgrade disabled $p.service"
  done
  [ "$(invocation orvanta)" != "$before_upgrade" ] ||
    fail "the upgrade did not restart orvanta.service"
  [ "$(invocation orvanta-alici)" != "$receiver_before_upgrade" ] ||
    fail "the upgrade did not restart orvanta-alici.service"

  # A stopped service stays stopped through an upgrade.
  inside systemctl stop orvanta-alici.service
  inside dpkg -i /srv/debs/orvanta-alici_new.deb >"$work/dpkg.log" 2>&1 ||
    { fail "reinstalling under systemd"; cat "$work/dpkg.log" >&2; }
  inside systemctl -q is-active orvanta-alici.service &&
    fail "the upgrade started the stopped orvanta-alici.service"
  inside systemctl start orvanta-alici.service

  # Removed, the services stop; purged, their state and enablement go.
  inside dpkg -r orvanta orvanta-alici >"$work/dpkg.log" 2>&1 ||
    { fail "remove under systemd"; cat "$work/dpkg.log" >&2; }
  for p in orvanta orvanta-alici; do
    [ "$(inside systemctl show -P MainPID "$p.service")" = 0 ] || fail "remove left $p running"
  done
  inside test -e /var/lib/private/orvanta/Setting.ini || fail "remove deleted the settings"
  inside dpkg -P orvanta orvanta-alici >"$work/dpkg.log" 2>&1 ||
    { fail "purge under systemd"; cat "$work/dpkg.log" >&2; }
  for p in orvanta orvanta-alici; do
    for f in /var/lib/$p /var/lib/private/$p /var/cache/$p /var/cache/private/$p \
             /etc/systemd/system/multi-user.target.wants/$p.service; do
      inside test -e "$f" -o -L "$f" && fail "purge left $f"
    done
  done
  # Halted the way nspawn halts it.
  kill -RTMIN+3 "$init_pid"
  for _ in $(seq 300); do kill -0 "$nspawn_pid" 2>/dev/null || break; sleep 0.1; done
fi
end_container

[ "$failures" -eq 0 ] || exit 1
echo "packages ok: $(basename "$deb") $(basename "$receiver_deb")"
