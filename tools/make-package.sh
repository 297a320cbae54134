#!/usr/bin/env bash
# Installs a configured build (cmake --install) into a staging folder and zips it:
#   tools/make-package.sh BUILD_DIR DIST_DIR   writes DIST_DIR/Tarvosk-<version>.zip
# The zip holds Tarvosk/ with lin_x64/Tarvosk.xpl, win_x64/Tarvosk.xpl and the data once; it is
# checked before it is written: the layout, the exports and the portability of the Linux
# plug-in, the exports and imports of the Windows one.
set -euo pipefail
build=${1:?usage: tools/make-package.sh BUILD_DIR DIST_DIR}
dist=${2:?usage: tools/make-package.sh BUILD_DIR DIST_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "make-package: no project version in $build/CMakeCache.txt" >&2; exit 1; }

stage="$build/stage"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null
for f in Tarvosk/lin_x64/Tarvosk.xpl Tarvosk/win_x64/Tarvosk.xpl Tarvosk/TVKdefault.obj Tarvosk/GroundServices/GPU.obj \
         Tarvosk/Bitmaps/TVKlogo.png; do
  [ -f "$stage/$f" ] || { echo "make-package: $f is missing from the installation" >&2; exit 1; }
done
"$root/tools/check-exports.sh" "$stage/Tarvosk/lin_x64"
"$root/tools/check-portable.sh" "$stage/Tarvosk/lin_x64/Tarvosk.xpl"
"$root/tools/check-windows-plugin.sh" "$stage/Tarvosk/win_x64/Tarvosk.xpl"

mkdir -p "$dist"
zip_path="$(cd "$dist" && pwd)/Tarvosk-$version.zip"
rm -f "$zip_path"
(cd "$stage" && zip -qrX "$zip_path" Tarvosk)
echo "package: $zip_path"
unzip -l "$zip_path" | sed -n '4,$p' | awk 'NF == 4 {print "  " $4}'
