#!/usr/bin/env bash
# Makes the README's pictures again from the demo's output: small copies of the stand with the
# GPU cart, the tug hooked up, and the Preferences window.
#   tools/readme-pictures.sh BUILD_DIR DEMO_OUT_DIR DEST_DIR
set -euo pipefail
build=${1:?usage: tools/readme-pictures.sh BUILD_DIR DEMO_OUT_DIR DEST_DIR}
demo=${2:?usage: tools/readme-pictures.sh BUILD_DIR DEMO_OUT_DIR DEST_DIR}
dest=${3:?usage: tools/readme-pictures.sh BUILD_DIR DEMO_OUT_DIR DEST_DIR}

sim=$(find "$build" -type f -name tarvosk-sim -perm -u+x -print -quit)
[ -n "$sim" ] || { echo "readme-pictures: no tarvosk-sim under $build" >&2; exit 1; }
# demo picture, README picture, width in pixels
pictures=(
  "pictures/1-stand-gpu.png stand-with-gpu.png 640"
  "pictures/3-hooked-up.png hooked-up.png 640"
  "windows/pictures/preferences.png preferences.png 368"
)
for entry in "${pictures[@]}"; do
  read -r from to width <<<"$entry"
  [ -f "$demo/$from" ] || {
    echo "readme-pictures: no $demo/$from (run the demo where OpenGL works)" >&2
    exit 1
  }
done
mkdir -p "$dest"
for entry in "${pictures[@]}"; do
  read -r from to width <<<"$entry"
  "$sim" --shrink "$demo/$from" "$dest/$to" "$width"
done
