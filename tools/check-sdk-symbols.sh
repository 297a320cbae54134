#!/usr/bin/env bash
# Every host function the plug-in leaves for X-Plane to bind (undefined XPLM*/XP* symbols) must
# be exported by the official SDK's Linux libraries, else X-Plane refuses to load it.
#   tools/check-sdk-symbols.sh PATH/Tarvosk.xpl SDK_DIR    (SDK_DIR holds Libraries/Lin/)
set -euo pipefail
xpl=${1:?usage: tools/check-sdk-symbols.sh PATH/Tarvosk.xpl SDK_DIR}
sdk=${2:?usage: tools/check-sdk-symbols.sh PATH/Tarvosk.xpl SDK_DIR}
libs=("$sdk/Libraries/Lin/XPLM_64.so" "$sdk/Libraries/Lin/XPWidgets_64.so")
for lib in "${libs[@]}"; do
  [ -f "$lib" ] || { echo "check-sdk-symbols: no $lib" >&2; exit 1; }
done
wanted=$(nm -D --undefined-only "$xpl" | awk '{print $NF}' | grep -E '^XP' | sed 's/@.*//' | sort -u)
exported=$(for lib in "${libs[@]}"; do nm -D --defined-only "$lib" | awk '{print $NF}'; done |
           sed 's/@.*//' | sort -u)
missing=$(comm -23 <(printf '%s\n' $wanted) <(printf '%s\n' $exported) | sed '/^$/d')
count=$(printf '%s\n' $wanted | sed '/^$/d' | wc -l)
if [ -n "$missing" ]; then
  echo "check-sdk-symbols: $xpl needs host functions the SDK's libraries do not export:"
  printf '  %s\n' $missing
  exit 1
fi
echo "sdk symbols ok: all $count host functions of $(basename "$xpl") are exported by $(basename "$sdk")'s XPLM_64.so or XPWidgets_64.so"
