#!/usr/bin/env bash
# Runs the demo scenario in the simulated host with the built plug-in.
#   tools/run-demo.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=${1:?usage: tools/run-demo.sh BUILD_DIR OUT_DIR}
out=${2:?usage: tools/run-demo.sh BUILD_DIR OUT_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)

sim=$(find "$build" -type f -name tarvosk-sim -perm -u+x -print -quit)
xpl=$(find "$build" -type f -name Tarvosk.xpl -print -quit)
[ -n "$sim" ] || { echo "run-demo: no tarvosk-sim under $build" >&2; exit 1; }
[ -n "$xpl" ] || { echo "run-demo: no Tarvosk.xpl under $build" >&2; exit 1; }

content=()
[ -d "$build/content/Tarvosk" ] && content=(--content "$build/content/Tarvosk")
"$sim" --plugin "$xpl" --out "$out" "${content[@]}" "$root/scenarios/demo.txt"
# The same pushback as X-Plane 12 draws it: instances instead of the aircraft drawing phase.
"$sim" --plugin "$xpl" --out "$out/xp12" "${content[@]}" "$root/scenarios/demo-xp12.txt"
echo "X-Plane 12 demo outputs: $out/xp12 (pictures in $out/xp12/pictures/)"
# The plug-in's windows (Preferences, About, a "Warning..." box), pictured in $out/windows/.
"$sim" --plugin "$xpl" --out "$out/windows" "${content[@]}" "$root/scenarios/windows.txt"
echo "demo outputs: $out (timeline.txt, track.csv, track.svg, Tarvosk.log, Quorren.Tarvosk.prf, host.log)"
echo "window pictures: $out/windows/pictures/ (preferences, about, warning)"
if [ -f "$out/pictures/contact-sheet.png" ]; then
  echo "demo pictures: $out/pictures/ (contact-sheet.png shows them all; pushback-top.png is an animated PNG of the pushback from above)"
else
  echo "demo pictures: none (no OpenGL context on this machine)"
fi
