#!/usr/bin/env bash
# Runs a Windows program under Wine the way the project's Windows tests do: a Wine prefix of
# the project's own (build/wine, made on first use), no Wine debug chatter, and no Mono or
# Gecko installer dialogs. ctest uses it as the cross-compiling emulator.
#   tools/wine-run.sh PROGRAM.exe [ARGS...]
# Now and then Wine fails to start a program at all: it fails in a fraction of a second
# without a line of output. Only such a start is tried once more; any other failure, however
# quick, is the program's own and stands, so a flaky test cannot hide behind the retry.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$repo/build/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
  started=$(date +%s%N)
  status=0
  wine "$@" >"$output" 2>&1 || status=$?
  elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
  if [ "$status" -ne 0 ] && [ ! -s "$output" ] && [ "$elapsed_ms" -lt 1000 ] && [ "$attempt" -eq 1 ]; then
    echo "wine-run: Wine did not start $1 (status $status, no output, ${elapsed_ms} ms): once more" >&2
    continue
  fi
  cat "$output"
  exit "$status"
done
