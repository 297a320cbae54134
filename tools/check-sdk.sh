#!/usr/bin/env bash
# Builds the whole tree against each official SDK release (the simulated host then checks
# every host function it defines against the official declarations), runs the suite against
# the newest, and checks the plug-in's host symbols against that release's libraries.
#   tools/check-sdk.sh [SDK_ROOT]     default ../shared/xplane-sdk (holding 2.1.2/ and 4.2.0/)
# Skips with a message when the SDK folder is absent.
set -euo pipefail
cd "$(dirname "$0")/.."
sdk_root=${1:-${XPLANE_SDK_ROOT:-../shared/xplane-sdk}}
jobs=${JOBS:-$(nproc)}
if [ ! -d "$sdk_root/4.2.0/CHeaders" ] || [ ! -d "$sdk_root/2.1.2/CHeaders" ]; then
  echo "check-sdk: skipped, no official SDK releases in $sdk_root (2.1.2/ and 4.2.0/)"
  exit 0
fi
sdk_root=$(cd "$sdk_root" && pwd)
for release in 2.1.2 4.2.0; do
  echo "-- the whole tree against SDK $release"
  # The README's command: the release preset, pointed at the SDK.
  cmake --preset release -B "build/sdk-$release" -DXPLANE_SDK_DIR="$sdk_root/$release" >/dev/null
  cmake --build "build/sdk-$release" -j "$jobs"
done
echo "-- the example of docs/plugin-authors.md against both releases"
example=$(mktemp --suffix=.c)
trap 'rm -f "$example"' EXIT
sed -n '/^```c$/,/^```$/p' docs/plugin-authors.md | sed '1d;$d' > "$example"
for release in 2.1.2 4.2.0; do
  cc -std=c99 -Wall -Wextra -Werror -Wno-unused-parameter -fsyntax-only -DLIN=1 -DXPLM200=1 \
    -DXPLM210=1 -I"$sdk_root/$release/CHeaders/XPLM" "$example"
done
echo "-- the suite against SDK 4.2.0"
ctest --test-dir build/sdk-4.2.0 -j "$jobs" --output-on-failure
tools/check-sdk-symbols.sh build/sdk-4.2.0/src/shell/Tarvosk.xpl "$sdk_root/4.2.0"
