#!/usr/bin/env bash
# Runs the demo scenarios in the simulated host with the built plug-in (X-Plane 11 and 12 and
# the windows) and puts all their pictures on one contact sheet, OUT_DIR/contact-sheet.png.
#   tools/run-demo.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=${1:?usage: tools/run-demo.sh BUILD_DIR OUT_DIR}
out=${2:?usage: tools/run-demo.sh BUILD_DIR OUT_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)

sim=$(find "$build" -type f -name tarvosk-sim -perm -u+x -print -quit)
xpl=$(find "$build" -type f -name Tarvosk.xpl -print -quit)
[ -n "$sim" ] || { echo "run-demo: no tarvosk-sim under $build" >&2; exit 1; }
[ -n "$xpl" ] || { echo "run-demo: no Tarvosk.xpl under $build" >&2; exit 1; }

# A run writes its pictures' index only when it takes pictures: drop those of earlier runs.
rm -f "$out/pictures/index.txt" "$out/xp12/pictures/index.txt" "$out/windows/pictures/index.txt" \
  "$out/manual/pictures/index.txt" "$out/planned/pictures/index.txt" \
  "$out/traffic/pictures/index.txt"
content=()
[ -d "$build/content/Tarvosk" ] && content=(--content "$build/content/Tarvosk")
# X-Plane 11 with OpenGL: the plug-in draws the tug and the cart in the 3-D drawing phase.
"$sim" --plugin "$xpl" --out "$out" "${content[@]}" "$root/scenarios/demo.txt"
# The same pushback as X-Plane 12 draws it: instances instead of the aircraft drawing phase.
"$sim" --plugin "$xpl" --out "$out/xp12" "${content[@]}" "$root/scenarios/demo-xp12.txt"
# The pilot drives: a manual pushback swung into an S, paused and stopped here, and a tow.
"$sim" --plugin "$xpl" --out "$out/manual" "${content[@]}" "$root/scenarios/manual.txt"
# The planned pushback: the planner, the push, the trail beside the plan.
"$sim" --plugin "$xpl" --out "$out/planned" "${content[@]}" "$root/scenarios/planned.txt"
# Another aircraft parked behind the stand: the push held short of it, then going on.
"$sim" --plugin "$xpl" --out "$out/traffic" "${content[@]}" "$root/scenarios/demo-traffic.txt"
# The plug-in's windows (Preferences, About, a "Warning..." box).
"$sim" --plugin "$xpl" --out "$out/windows" "${content[@]}" "$root/scenarios/windows.txt"

# One contact sheet of all three runs, a section each; each run's index.txt gives the order
# and the labels.
sheet="$out/contact-sheet.png"
rm -f "$sheet"
if [ -f "$out/pictures/index.txt" ] && [ -f "$out/xp12/pictures/index.txt" ] &&
  [ -f "$out/manual/pictures/index.txt" ] && [ -f "$out/windows/pictures/index.txt" ] &&
  [ -f "$out/planned/pictures/index.txt" ] && [ -f "$out/traffic/pictures/index.txt" ]; then
  "$sim" --contact-sheet "$sheet" --columns 4 \
    --title "Tarvosk in the simulated host: make demo" \
    --section "X-Plane 11, OpenGL: the plug-in draws the tug and the cart" "$out/pictures" \
    --section "X-Plane 12: the same pushback, tug and cart as instances" "$out/xp12/pictures" \
    --section "Driven by the pilot: a manual pushback in an S, and a tow forward" "$out/manual/pictures" \
    --section "Planned: back 20 m, tail left 60 degrees, then 10 m" "$out/planned/pictures" \
    --section "Traffic: held short of an aircraft parked behind the stand" "$out/traffic/pictures" \
    --section "The plug-in's windows" "$out/windows/pictures"
fi

echo
echo "demo outputs:"
echo "  $out/: timeline.txt, track.csv, track.svg, Tarvosk.log, Quorren.Tarvosk.prf, host.log (X-Plane 11)"
echo "  $out/xp12/: the same for the X-Plane 12 run; $out/manual/: the manual push and tow; $out/planned/: the planned push; $out/windows/: the windows run"
if [ -f "$sheet" ]; then
  echo "  contact sheet of every picture: $sheet"
  echo "  pictures: $out/pictures/ (X-Plane 11), $out/xp12/pictures/ (X-Plane 12), $out/manual/pictures/ (manual), $out/windows/pictures/ (windows)"
  echo "  animations of the pushback from above: $out/pictures/pushback-top.png, $out/xp12/pictures/xp12-pushback-top.png,"
  echo "    $out/manual/pictures/manual-push-top.png, $out/manual/pictures/manual-tow-top.png"
else
  echo "  pictures: none (no OpenGL context on this machine)"
fi
