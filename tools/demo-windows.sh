#!/usr/bin/env bash
# The demo with the Windows plug-in in the Windows host, under Wine on a virtual display
# (xvfb-run), so the host draws through WGL and writes its pictures; then the same scenario in
# the Linux host, and a count of the pictures that came out byte for byte the same.
#   tools/demo-windows.sh WINDOWS_BUILD LINUX_BUILD OUT_DIR
set -euo pipefail
win=${1:?usage: tools/demo-windows.sh WINDOWS_BUILD LINUX_BUILD OUT_DIR}
lin=${2:?usage: tools/demo-windows.sh WINDOWS_BUILD LINUX_BUILD OUT_DIR}
out=${3:?usage: tools/demo-windows.sh WINDOWS_BUILD LINUX_BUILD OUT_DIR}
repo=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$repo/build/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
content=$lin/content/Tarvosk
. "$repo/tools/owned-folder.sh"
fresh_owned_folder "$out/windows"
fresh_owned_folder "$out/linux"
# The Wine server of this display ends with the command, so nothing is left running.
timeout 600 xvfb-run -a sh -c '
  wine "$1/simhost/tarvosk-sim.exe" --plugin "$1/src/shell/win_x64/Tarvosk.xpl" --content "$2" \
    --out "$3/windows" --quiet "$4"
  status=$?
  wineserver -w
  exit $status' sh "$win" "$content" "$out" "$repo/scenarios/demo.txt"
pictures=$(ls "$out/windows/pictures/"*.png 2>/dev/null | wc -l)
[ "$pictures" -gt 0 ] || { echo "demo-windows: the Windows host wrote no pictures"; exit 1; }
same=0
if [ -x "$lin/simhost/tarvosk-sim" ]; then
  "$lin/simhost/tarvosk-sim" --plugin "$lin/src/shell/Tarvosk.xpl" --content "$content" \
    --out "$out/linux" --quiet "$repo/scenarios/demo.txt" >/dev/null
  for picture in "$out/windows/pictures/"*.png; do
    cmp -s "$picture" "$out/linux/pictures/$(basename "$picture")" && same=$((same + 1))
  done
fi
echo "demo-windows: $pictures pictures in $out/windows/pictures; $same byte for byte the same as the Linux host's"
