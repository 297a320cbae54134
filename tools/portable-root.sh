#!/usr/bin/env bash
# Makes (once) and prints the Debian 11 "bullseye" root the portable plug-in is built in:
# glibc 2.31, g++ 10, and the static libpng and zlib of that release, all from Debian's own
# packages. The root is cached outside the repository and reused by every later build.
#   tools/portable-root.sh            prints the root's path, making it when missing
# TARVOSK_PORTABLE_ROOT overrides the place (default ~/.cache/tarvosk/bullseye-amd64).
# Needs root (or sudo) for debootstrap and chroot; the first run downloads about 80 MB.
set -euo pipefail
root=${TARVOSK_PORTABLE_ROOT:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/tarvosk/bullseye-amd64}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
packages=g++,cmake,ninja-build,libgl-dev,dpkg-dev
# The stamp names the package list and the library build; changing either makes a new root.
stamp="$root/.tarvosk-root-$( (echo "$packages"; cat "$(dirname "$0")/portable-pic-libs.sh") |
  sha1sum | cut -c1-12)"
if [ -f "$stamp" ]; then
  echo "$root"
  exit 0
fi

sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
command -v debootstrap >/dev/null 2>&1 || PATH=$PATH:/usr/sbin:/sbin
command -v debootstrap >/dev/null 2>&1 || {
  echo "portable-root: debootstrap is missing (tools/ensure-deps.sh installs it)" >&2; exit 1; }

echo "portable-root: making the Debian 11 build root in $root (once; a few minutes)" >&2
work="$root.partial"
$sudo_cmd rm -rf "$work"
mkdir -p "$(dirname "$root")"
if ! $sudo_cmd debootstrap --variant=minbase --include="$packages" bullseye "$work" "$mirror" \
    > "$root.log" 2>&1; then
  echo "portable-root: debootstrap failed; its log: $root.log" >&2
  tail -20 "$root.log" >&2
  exit 1
fi
# libpng and zlib from the release's source packages, as position-independent static libraries.
echo "deb-src $mirror bullseye main" | $sudo_cmd tee -a "$work/etc/apt/sources.list" >/dev/null
$sudo_cmd cp /etc/resolv.conf "$work/etc/resolv.conf"
$sudo_cmd cp "$(dirname "$0")/portable-pic-libs.sh" "$work/tmp/"
if ! $sudo_cmd chroot "$work" /bin/sh -ec 'apt-get update -qq && /tmp/portable-pic-libs.sh' \
    >> "$root.log" 2>&1; then
  echo "portable-root: building libpng and zlib failed; its log: $root.log" >&2
  tail -20 "$root.log" >&2
  exit 1
fi
# Only what the build needs is kept: no package lists, downloaded archives or sources.
$sudo_cmd rm -rf "$work"/var/cache/apt/archives/*.deb "$work"/var/lib/apt/lists/* \
  "$work"/usr/src/tarvosk
$sudo_cmd rm -rf "$root"
$sudo_cmd mv "$work" "$root"
$sudo_cmd touch "$stamp"
echo "$root"
