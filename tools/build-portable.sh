#!/usr/bin/env bash
# Builds the release Tarvosk.xpl that loads on the Linux systems pilots run (glibc 2.31 and
# later): inside the cached Debian 11 root of tools/portable-root.sh, with its g++ 10 and its
# static libpng and zlib. The sources are copied into the root (times kept, so a rebuild only
# compiles what changed); the result is copied out.
#   tools/build-portable.sh OUT_DIR      writes OUT_DIR/Tarvosk.xpl
set -euo pipefail
out=${1:?usage: tools/build-portable.sh OUT_DIR}
repo=$(cd "$(dirname "$0")/.." && pwd)
root=$("$repo/tools/portable-root.sh")
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

# One work folder per checkout, so several checkouts can share the root.
work=/tarvosk/$(printf '%s' "$repo" | sha1sum | cut -c1-12)
$sudo_cmd rm -rf "$root$work/src"
$sudo_cmd mkdir -p "$root$work/src"
(cd "$repo" && tar -c CMakeLists.txt cmake src) | $sudo_cmd tar -x -C "$root$work/src"

$sudo_cmd chroot "$root" /bin/sh -ec "
  cd $work
  [ -f build/build.ninja ] || cmake -S src -B build -G Ninja -C src/cmake/portable.cmake >/dev/null
  cmake --build build --target Tarvosk -- -j${JOBS:-$(nproc)}
"
mkdir -p "$out"
cp "$root$work/build/src/shell/Tarvosk.xpl" "$out/Tarvosk.xpl"
echo "portable plug-in: $out/Tarvosk.xpl (built in Debian 11: $(chroot "$root" g++ -dumpfullversion 2>/dev/null || echo g++), glibc 2.31)"
