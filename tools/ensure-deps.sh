#!/usr/bin/env bash
# Installs what the build needs when it is missing (Debian packages; needs root or sudo).
# A machine of the project's kind has all of it already, so this is normally silent.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
case "${1:-}" in
  # The Windows targets: the mingw-w64 tool chain, Wine to run what it builds, Xvfb for the
  # pictures, dpkg-dev to unpack Debian's libpng and zlib sources, googletest to build the
  # tests with the same tool chain. Nothing else needs them.
  windows) pkgs=(cmake ninja-build g++-mingw-w64-x86-64-posix dpkg-dev googletest wine64 xvfb
                zip unzip) ;;
  *) pkgs=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libpng-dev zlib1g-dev
           libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri clang libclang-rt-14-dev
           zip unzip debootstrap) ;;
esac
for pkg in "${pkgs[@]}"; do
  have "$pkg" || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${need[*]}"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
$sudo_cmd apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${need[@]}"
