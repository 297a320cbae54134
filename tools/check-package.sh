#!/usr/bin/env bash
# Installs the package as a pilot would, by unzipping it into a fresh simulator's
# Resources/plugins, and runs the demo scenario there with the simulated host: the Linux
# plug-in in the Linux host, and the Windows one in the Windows host under Wine.
#   tools/check-package.sh ZIP BUILD_DIR [OUT_DIR [WINDOWS_BUILD_DIR]]
# BUILD_DIR holds tarvosk-sim; WINDOWS_BUILD_DIR (default build/windows) tarvosk-sim.exe.
set -euo pipefail
zip=${1:?usage: tools/check-package.sh ZIP BUILD_DIR [OUT_DIR]}
build=${2:?usage: tools/check-package.sh ZIP BUILD_DIR [OUT_DIR]}
out=${3:-out/package-check}
windows_build=${4:-build/windows}
root=$(cd "$(dirname "$0")/.." && pwd)
sim=$(find "$build" -type f -name tarvosk-sim -perm -u+x -print -quit)
[ -n "$sim" ] || { echo "check-package: no tarvosk-sim under $build" >&2; exit 1; }

sandbox="$out/X-Plane"
. "$root/tools/owned-folder.sh"
fresh_owned_folder "$out"
mkdir -p "$sandbox/Resources/plugins"
unzip -q "$zip" -d "$sandbox/Resources/plugins"
xpl="$sandbox/Resources/plugins/Tarvosk/lin_x64/Tarvosk.xpl"
[ -f "$xpl" ] || { echo "check-package: the zip has no Tarvosk/lin_x64/Tarvosk.xpl" >&2; exit 1; }
"$root/tools/check-portable.sh" "$xpl"

"$sim" --sandbox "$sandbox" --keep-sandbox --layout fat --plugin "$xpl" --out "$out/demo" \
  "$root/scenarios/demo.txt"
log="$sandbox/Resources/plugins/Tarvosk/Tarvosk.log"
grep -qx -- "--- Starting Tarvosk ---" "$log" && grep -qx "TVKdefault.obj" "$log" || {
  echo "check-package: the plug-in did not log its start and trucks in $log" >&2; exit 1; }
echo "package ok: $(basename "$zip") unzipped into Resources/plugins runs the demo"

# The Windows plug-in from the same zip, in the Windows host under Wine.
win_xpl="$sandbox/Resources/plugins/Tarvosk/win_x64/Tarvosk.xpl"
[ -f "$win_xpl" ] || { echo "check-package: the zip has no Tarvosk/win_x64/Tarvosk.xpl" >&2; exit 1; }
"$root/tools/check-windows-plugin.sh" "$win_xpl"
win_sim="$windows_build/simhost/tarvosk-sim.exe"
[ -f "$win_sim" ] || cmake --build "$windows_build" --target tarvosk-sim simhost_xpwidgets >/dev/null
[ -f "$win_sim" ] || { echo "check-package: no $win_sim (make test-windows builds it)" >&2; exit 1; }
win_sandbox="$out/X-Plane-windows"
mkdir -p "$win_sandbox/Resources/plugins"
unzip -q "$zip" -d "$win_sandbox/Resources/plugins"
WINEPREFIX=${WINEPREFIX:-$root/build/wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  timeout 600 "$root/tools/wine-run.sh" "$win_sim" --sandbox "$win_sandbox" --keep-sandbox \
  --layout fat --plugin "$win_sandbox/Resources/plugins/Tarvosk/win_x64/Tarvosk.xpl" \
  --out "$out/demo-windows" "$root/scenarios/demo.txt"
log="$win_sandbox/Resources/plugins/Tarvosk/Tarvosk.log"
grep -qx -- "--- Starting Tarvosk ---" "$log" && grep -qx "TVKdefault.obj" "$log" || {
  echo "check-package: the Windows plug-in did not log its start and trucks in $log" >&2; exit 1; }
echo "package ok: the Windows plug-in of $(basename "$zip") runs the demo under Wine"
