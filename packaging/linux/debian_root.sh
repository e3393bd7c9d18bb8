#!/bin/bash
# Makes, or completes, the Debian 12 system that the package test installs
# the packages into: a minimal one (debootstrap) with systemd, socat and
# every package the programs' libraries come from, as the packages' own
# Depends will name them (dpkg-shlibdeps). It needs the package archive, so
# it runs while building, not in the test's private network; it does nothing
# when the folder already holds all of it. The test never changes it: each
# run works on a throw-away layer above it.
# Usage: debian_root.sh ROOT PROGRAM...
set -euo pipefail
root="$1"
shift
suite=bookworm

exec 9>"$root.lock"
flock 9

# The real packages (not the virtual ones) that the programs' Depends will name.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/debian"
touch "$scratch/debian/control"
args=()
for program in "$@"; do args+=(-e "$program"); done
depends=$(cd "$scratch" && dpkg-shlibdeps -O "${args[@]}" 2>/dev/null) ||
  { echo "debian_root.sh: dpkg-shlibdeps failed on $*" >&2; exit 1; }
wanted=(systemd socat)
for name in $(sed 's/^shlibs:Depends=//; s/([^)]*)//g; s/|[^,]*//g; s/,/ /g' <<<"$depends"); do
  dpkg-query -W -f='${Package}\n' "$name" >/dev/null 2>&1 && wanted+=("$name")
done

if [ ! -e "$root/.complete" ]; then
  rm -rf "$root" "$root.new"
  echo "debian_root.sh: making a Debian $suite system in $root (once; a few minutes)"
  include=$(IFS=,; echo "${wanted[*]}")
  debootstrap --variant=minbase --include="$include" "$suite" "$root.new" \
    >"$root.log" 2>&1 || { tail -20 "$root.log" >&2; exit 1; }
  chroot "$root.new" apt-get clean
  touch "$root.new/.complete"
  mv "$root.new" "$root"
  exit 0
fi

missing=()
for name in "${wanted[@]}"; do
  chroot "$root" dpkg-query -W -f='${Status}' "$name" 2>/dev/null |
    grep -q 'install ok installed' || missing+=("$name")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "debian_root.sh: adding ${missing[*]} to $root"
{
  chroot "$root" apt-get update -q &&
    DEBIAN_FRONTEND=noninteractive chroot "$root" apt-get install -y -q \
      --no-install-recommends "${missing[@]}" &&
    chroot "$root" apt-get clean
} >"$root.log" 2>&1 || { tail -20 "$root.log" >&2; exit 1; }
