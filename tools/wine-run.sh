#!/usr/bin/env bash
# Runs a Windows program under Wine the way the project's Windows tests do: a Wine prefix of
# the project's own (build/wine, made on first use), no Wine debug chatter, and no Mono or
# Gecko installer dialogs. ctest uses it as the cross-compiling emulator.
#   tools/wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$repo/build/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
exec wine "$@"
