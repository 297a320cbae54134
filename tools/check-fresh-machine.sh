#!/usr/bin/env bash
# What a new user gets: the README's quick start, exactly as written there ("make demo", then
# "make test"), in a fresh minimal Debian 12 root on a clone of this project alone, with no
# ../shared beside it. The committed state of the checkout is what is cloned.
#   tools/check-fresh-machine.sh
# The bare root (debootstrap minbase with only git, make and ca-certificates, which the README
# asks for) is made once and kept in ~/.cache/tarvosk/ (TARVOSK_FRESH_BASE moves it); every run
# works on a new copy of it, so nothing an earlier run installed is there. Needs root (or sudo)
# for debootstrap, mount and chroot.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
base=${TARVOSK_FRESH_BASE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/tarvosk/bookworm-minbase}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
command -v debootstrap >/dev/null 2>&1 || PATH=$PATH:/usr/sbin:/sbin
command -v debootstrap >/dev/null 2>&1 || {
  echo "fresh-machine: debootstrap is missing (tools/ensure-deps.sh package installs it)" >&2
  exit 1
}

stamp="$base/.tarvosk-fresh-base"
if [ ! -f "$stamp" ]; then
  echo "fresh-machine: making the bare Debian 12 root in $base (once; a few minutes)"
  $sudo_cmd rm -rf --one-file-system "$base.partial"
  mkdir -p "$(dirname "$base")"
  if ! $sudo_cmd debootstrap --variant=minbase --include=git,make,ca-certificates bookworm \
      "$base.partial" "$mirror" >"$base.log" 2>&1; then
    echo "fresh-machine: debootstrap failed; its log: $base.log" >&2
    tail -20 "$base.log" >&2
    exit 1
  fi
  $sudo_cmd rm -rf "$base.partial"/var/cache/apt/archives/*.deb "$base.partial"/var/lib/apt/lists/*
  $sudo_cmd rm -rf --one-file-system "$base"
  $sudo_cmd mv "$base.partial" "$base"
  $sudo_cmd touch "$stamp"
fi

run=$(mktemp -d "${TMPDIR:-/var/tmp}/tarvosk-fresh.XXXXXX")
mounted=()
cleanup() {
  local m
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    m=${mounted[i]}
    $sudo_cmd umount "$m" 2>/dev/null || $sudo_cmd umount -l "$m" || true
  done
  # Never delete through a mount that is still there (the host's /dev is bound in).
  if ! grep -q " $run/" /proc/mounts; then
    $sudo_cmd rm -rf --one-file-system "$run"
  else
    echo "fresh-machine: $run still has mounts; left in place" >&2
  fi
}
trap cleanup EXIT

root="$run/root"
$sudo_cmd cp -a "$base" "$root"
$sudo_cmd rm -f "$root/.tarvosk-fresh-base"
$sudo_cmd cp /etc/resolv.conf "$root/etc/resolv.conf"
$sudo_cmd mount -t proc proc "$root/proc"
mounted+=("$root/proc")
$sudo_cmd mount --bind /dev "$root/dev"
mounted+=("$root/dev")
$sudo_cmd mount --bind /dev/pts "$root/dev/pts"
mounted+=("$root/dev/pts")

# A clone of the project alone: ../shared is not beside it.
$sudo_cmd git clone -q --no-hardlinks "$repo" "$root/root/tarvosk"
[ ! -e "$root/root/shared" ] || { echo "fresh-machine: $root/root/shared exists" >&2; exit 1; }

step() {
  local what=$1 start=$SECONDS
  echo "== fresh Debian 12, a clone alone: $what"
  if ! $sudo_cmd chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CTEST_OUTPUT_ON_FAILURE=1 \
      /bin/bash -c "cd /root/tarvosk && $what" </dev/null; then
    echo "fresh-machine: '$what' failed after $((SECONDS - start)) s" >&2
    exit 1
  fi
  echo "fresh-machine: '$what' passed in $((SECONDS - start)) s"
}
step "make demo"
# The demo must have drawn its pictures: Mesa's renderer is part of what it installs.
[ -f "$root/root/tarvosk/out/demo/contact-sheet.png" ] || {
  echo "fresh-machine: make demo wrote no contact sheet (no pictures)" >&2
  exit 1
}
step "make test"
echo "fresh-machine: the quick start passes on a fresh Debian 12 root"
