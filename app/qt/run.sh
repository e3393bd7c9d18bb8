#!/bin/bash
# Builds and starts the Linux program from this source tree, in one command.
#
# On a fresh Debian 12 machine, as root: installs the few packages the program
# needs (apt-get), builds only the program, in build/run, and starts it in the
# foreground (Ctrl+C ends it, as does "Programı Kapat" in its tray menu).
#
# With a display the program sits in the tray: double-click the telephone
# icon, or choose "Ayarlar" in its right-click menu, for the settings window.
# Without a display it runs on Qt's offscreen platform, says so on the
# terminal, writes its messages there and still announces the calls of a
# configured serial source. It keeps its settings (Setting.ini,
# calleridcomport.ini) beside itself, in build/run/app/qt/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
until [ -f "$root/CMakePresets.json" ]; do
  [ "$root" != / ] || { echo "run: not inside the Orvanta source tree" >&2; exit 1; }
  root=$(dirname "$root")
done
build="$root/build/run"

packages=(cmake ninja-build g++ qt6-base-dev fonts-dejavu-core fonts-dejavu-extra)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "run: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
  fi
  echo "run: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target orvanta -j "${ORVANTA_JOBS:-2}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display; the program runs without windows (Ctrl+C ends it)"
else
  echo "run: starting; the program appears in the tray"
fi
exec "$build/app/qt/orvanta"
