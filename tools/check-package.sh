#!/usr/bin/env bash
# Installs the package as a pilot would, by unzipping it into a fresh simulator's
# Resources/plugins, and runs the demo scenario there with the simulated host.
#   tools/check-package.sh ZIP BUILD_DIR [OUT_DIR]   BUILD_DIR holds tarvosk-sim
set -euo pipefail
zip=${1:?usage: tools/check-package.sh ZIP BUILD_DIR [OUT_DIR]}
build=${2:?usage: tools/check-package.sh ZIP BUILD_DIR [OUT_DIR]}
out=${3:-out/package-check}
root=$(cd "$(dirname "$0")/.." && pwd)
sim=$(find "$build" -type f -name tarvosk-sim -perm -u+x -print -quit)
[ -n "$sim" ] || { echo "check-package: no tarvosk-sim under $build" >&2; exit 1; }

sandbox="$out/X-Plane"
rm -rf "$out"
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
