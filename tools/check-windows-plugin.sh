#!/usr/bin/env bash
# The Windows Tarvosk.xpl must export exactly the five entry points, import from no DLL but
# the system's (KERNEL32, the C runtime), OPENGL32 and X-Plane's XPLM_64 and XPWidgets_64,
# call no OpenGL beyond 1.1 directly (opengl32.dll exports nothing newer), and import from the
# host DLLs only names the official SDK exports.
#   tools/check-windows-plugin.sh PATH/Tarvosk.xpl [SDK_DIR]
# SDK_DIR (default ../shared/xplane-sdk/4.2.0) holds Libraries/; the SDK check is skipped, with
# its reason, when the folder is absent. The SDK 4.2.0 copy here has only its Linux libraries:
# their exported names are the same functions XPLM_64.dll and XPWidgets_64.dll export.
set -euo pipefail
xpl=${1:?usage: tools/check-windows-plugin.sh PATH/Tarvosk.xpl [SDK_DIR]}
repo=$(cd "$(dirname "$0")/.." && pwd)
sdk=${2:-$repo/../shared/xplane-sdk/4.2.0}
objdump=x86_64-w64-mingw32-objdump
nm=x86_64-w64-mingw32-nm
dump=$($objdump -p "$xpl")
fail=0

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          awk '/^\t\[/ {print $NF}' | sort)
want=$(printf '%s\n' XPluginDisable XPluginEnable XPluginReceiveMessage XPluginStart XPluginStop)
if [ "$exports" != "$want" ]; then
  echo "check-windows-plugin: $xpl exports:"; printf '  %s\n' $exports; fail=1
fi

# "DLL name<TAB>function" for every import.
imports=$(printf '%s\n' "$dump" | awk '
  /DLL Name:/ {dll = $3; next}
  /^$/ {dll = ""}
  dll != "" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 {print dll "\t" $3}')
dlls=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {print $3}' | sort -u)
for dll in $dlls; do
  case "${dll,,}" in
    kernel32.dll|msvcrt.dll|opengl32.dll|xplm_64.dll|xpwidgets_64.dll) ;;
    *) echo "check-windows-plugin: $xpl imports from $dll"; fail=1 ;;
  esac
done

names_from() { printf '%s\n' "$imports" | awk -F'\t' -v d="$1" 'tolower($1) == tolower(d) {print $2}' | sort -u; }
missing_from() { comm -23 <(names_from "$1") <(printf '%s\n' "$2" | sort -u) | sed '/^$/d'; }

gl11=$($nm /usr/x86_64-w64-mingw32/lib/libopengl32.a 2>/dev/null | awk '$2 == "T" {print $3}')
beyond=$(missing_from OPENGL32.dll "$gl11")
if [ -n "$beyond" ]; then
  echo "check-windows-plugin: OpenGL calls opengl32.dll does not export (use wglGetProcAddress):"
  printf '  %s\n' $beyond; fail=1
fi

count=$(( $(names_from XPLM_64.dll | wc -l) + $(names_from XPWidgets_64.dll | wc -l) ))
if [ -f "$sdk/Libraries/Lin/XPLM_64.so" ]; then
  for lib in XPLM_64 XPWidgets_64; do
    exported=$(nm -D --defined-only "$sdk/Libraries/Lin/$lib.so" | awk '{print $NF}' | sed 's/@.*//')
    missing=$(missing_from "$lib.dll" "$exported")
    if [ -n "$missing" ]; then
      echo "check-windows-plugin: names imported from $lib.dll that the SDK's $lib does not export:"
      printf '  %s\n' $missing; fail=1
    fi
  done
  sdk_note="all $count host names are exported by SDK $(basename "$sdk")"
else
  sdk_note="host names not checked: no official SDK at $sdk (it lies beside the project only)"
fi
[ $fail -eq 0 ] || exit 1
echo "windows plug-in ok: $(basename "$xpl") exports the five entry points, imports only from" \
     "$(echo $dlls | tr ' ' ','), OpenGL 1.1 only; $sdk_note"
