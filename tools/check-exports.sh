#!/usr/bin/env bash
# The plug-in must export exactly the five entry points the host looks up.
set -euo pipefail
xpl=$(find "${1:-build/dev}" -name Tarvosk.xpl -print -quit)
[ -n "$xpl" ] || { echo "no Tarvosk.xpl under ${1:-build/dev}"; exit 1; }
got=$(nm -D --defined-only "$xpl" | awk '{print $3}' | sort)
want=$(printf '%s\n' XPluginDisable XPluginEnable XPluginReceiveMessage XPluginStart XPluginStop)
if [ "$got" != "$want" ]; then
  echo "unexpected exports in $xpl:"; echo "$got"; exit 1
fi
echo "exports ok: $xpl exports exactly the five entry points"
