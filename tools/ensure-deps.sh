#!/usr/bin/env bash
# Installs what the build needs when it is missing (Debian packages; needs root or sudo).
# A machine of the project's kind has all of it already, so this is normally silent.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libpng-dev zlib1g-dev \
           libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri clang libclang-rt-14-dev \
           zip unzip debootstrap; do
  have "$pkg" || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${need[*]}"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
$sudo_cmd apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${need[@]}"
