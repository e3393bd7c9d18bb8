#!/bin/bash
# Runs a Windows test under Wine with a socat pseudo-terminal pair, one end
# mapped to COM77 in the build's Wine prefix:
#   run_with_wine_pty.sh WINE_RUN TEST.exe
# The test gets the port name in ORVANTA_PTY_PORT and the other end, as a
# Windows path, in ORVANTA_PTY_FAR_END. socat is ended by its process id.
set -uo pipefail
wine_run="$1"
test_exe="$2"
prefix="${ORVANTA_BINARY_DIR:?}/wineprefix"
dir="$(mktemp -d /tmp/orvanta-wine-pty-XXXXXX)"
socat_pid=""
cleanup() {
  [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null && wait "$socat_pid" 2>/dev/null
  rm -f "$prefix/dosdevices/com77"
  rm -rf "$dir"
}
trap cleanup EXIT

socat -d -d "pty,raw,echo=0,link=$dir/device" "pty,raw,echo=0,link=$dir/far" 2>"$dir/socat.log" &
socat_pid=$!
# socat says when both ends exist.
until grep -qs "starting data transfer loop" "$dir/socat.log"; do
  kill -0 "$socat_pid" 2>/dev/null || { cat "$dir/socat.log" >&2; exit 1; }
  sleep 0.1
done
mkdir -p "$prefix/dosdevices"
ln -sfn "$dir/device" "$prefix/dosdevices/com77"

ORVANTA_PTY_PORT=COM77 ORVANTA_PTY_FAR_END="Z:${dir//\//\\}\\far" "$wine_run" "$test_exe"
