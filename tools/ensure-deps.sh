#!/usr/bin/env bash
# Installs the Debian packages a make target needs and the machine lacks (needs root or sudo),
# and only those: on a machine that has them it says nothing.
#   tools/ensure-deps.sh TARGET...     TARGET: dev demo test asan bench soak fuzz package windows
# The lists follow what the build asks for: CMake's find_package calls (PNG, ZLIB, OpenGL with
# its OpenGL and EGL components, GTest, benchmark, Threads), the tools the tests and scripts run,
# and Mesa's software renderer for the simulated host's pictures.
set -euo pipefail

# Configuring any tree with the simulated host (every preset but fuzz) finds all of these.
build=(cmake ninja-build g++ libpng-dev zlib1g-dev
       libgl-dev libopengl-dev libegl-dev           # OpenGL's GL, OpenGL and EGL components
       libgtest-dev libgmock-dev libbenchmark-dev)  # the tests and benchmarks beside the host
# The host draws through EGL on Mesa's software renderer (no display, no GPU needed).
pictures=(libegl-mesa0 libgl1-mesa-dri)

need_for() {
  case "$1" in
    dev | demo | test | asan | bench | soak) echo "${build[@]}" "${pictures[@]}" ;;
    # The fuzz tree has no host and no tests: clang with libFuzzer, and what the plug-in links.
    fuzz) echo cmake ninja-build clang libclang-rt-14-dev libpng-dev zlib1g-dev libgl-dev ;;
    # The portable root is made with debootstrap; the zip holds the Windows plug-in too, and is
    # made, unzipped and run with both.
    package) echo "${build[@]}" "${pictures[@]}" zip unzip debootstrap; need_for windows ;;
    # The mingw-w64 tool chain, Wine to run what it builds, Xvfb for the pictures, dpkg-dev to
    # unpack Debian's libpng and zlib sources, googletest's sources to build the tests with the
    # same tool chain. Nothing else needs them.
    windows) echo cmake ninja-build g++-mingw-w64-x86-64-posix dpkg-dev googletest wine64 xvfb \
               zip unzip ;;
    *) echo "ensure-deps: unknown target '$1' (dev demo test asan bench soak fuzz package windows)" >&2
       return 1 ;;
  esac
}

[ $# -gt 0 ] || set -- dev
wanted=()
for target in "$@"; do
  list=$(need_for "$target") || exit 2
  read -r -a pkgs <<<"$list"
  wanted+=("${pkgs[@]}")
done

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
need=()
for pkg in $(printf '%s\n' "${wanted[@]}" | sort -u); do
  have "$pkg" || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${need[*]}"
sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || {
    echo "ensure-deps: these packages are missing and installing them needs root or sudo:" \
      "${need[*]}" >&2
    exit 1
  }
  sudo_cmd="sudo"
fi
# Wine finds X11, fonts and GL libraries through its recommended packages; everything else
# must work with what it depends on alone.
recommends=--no-install-recommends
for target in "$@"; do
  case "$target" in windows | package) recommends="" ;; esac
done
# apt's and dpkg's own output goes to a log, shown only when something fails.
log=$(mktemp "${TMPDIR:-/tmp}/tarvosk-deps.XXXXXX")
if ! { $sudo_cmd apt-get update -qq &&
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq $recommends "${need[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "ensure-deps: installing ${need[*]} failed (log above, kept in $log)" >&2
  exit 1
fi
rm -f "$log"
echo "Installed: ${need[*]}"
