#!/usr/bin/env bash
# Runs the cross-built Windows tests with ctest through Wine (make test-windows).
#   tools/test-windows.sh BUILD_DIR [TIME_LIMIT_SECONDS]
# One Wine server runs for the whole run: without it every test program starts and stops its
# own, and one left holding ctest's output pipe makes each test wait seconds or hangs ctest.
# The whole run has a time limit, and the server is stopped however the run ends.
set -euo pipefail
build=${1:?usage: tools/test-windows.sh BUILD_DIR [TIME_LIMIT_SECONDS]}
limit=${2:-1200}
repo=$(cd "$(dirname "$0")/.." && pwd)
# The host's drawing tests need a GL context, which Wine makes through WGL on an X display: a
# virtual one (Xvfb) when there is none, for the whole run, so that they run rather than skip.
if [ -z "${DISPLAY:-}" ] && [ -z "${TARVOSK_TEST_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
  TARVOSK_TEST_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export WINEPREFIX=${WINEPREFIX:-$repo/build/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: making the Wine prefix $WINEPREFIX (once)"
  timeout 300 wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
wineserver -p >/dev/null 2>&1 </dev/null || true  # (one may be running already)
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Wine's own services start with the first program and inherit its output: start them here,
# on /dev/null, rather than inside a test whose pipe ctest waits on.
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
# The scenario run in, and writing to, folders named with German, Greek and CJK letters starts
# from nothing, so that a name left by an earlier run cannot pass for one made now.
letters_run=$build/windows-runs/letters
letters="Jürgen Ωμέγα 東京"
if [ -d "$build/windows-runs" ]; then rm -rf "$letters_run"; fi
mkdir -p "$letters_run"
start=$(date +%s)
# Each test runs once: tools/wine-run.sh, the emulator, itself starts a program again only where
# Wine failed to start it (no output, well under a second).
timeout --kill-after=30 "$limit" ctest --test-dir "$build" -j "${JOBS:-2}" --output-on-failure \
  --timeout 300 </dev/null
# The folders of that run carry the letters as written (UTF-8 here), not the ANSI code page's
# reading of them ("JÃ¼rgen Î©Î¼Î­Î³Î± æ±äº¬"): each folder holds exactly the one name expected.
only() {
  local found
  found=$(cd "$1" && find . -mindepth 1 -maxdepth 1 -printf '%P\n' | { grep -v '^\.made-by' || true; } | sort)
  if [ "$found" != "$2" ]; then
    printf 'test-windows: %s holds %s, not only %s\n' "$1" "${found:-nothing}" "$2" >&2
    exit 1
  fi
}
only "$letters_run" "$(printf '%s\n' "$letters" "sandbox-$letters" | sort)"
only "$letters_run/$letters" out
only "$letters_run/sandbox-$letters" "X-Plane 12"
for file in "$letters/out/timeline.txt" "$letters/out/track.csv" "$letters/out/track.svg" \
            "$letters/out/pictures/w-gpu.png" "$letters/out/pictures/contact-sheet.png" \
            "sandbox-$letters/X-Plane 12/Log.txt" \
            "sandbox-$letters/X-Plane 12/Output/preferences/Quorren.Tarvosk.prf"; do
  [ -s "$letters_run/$file" ] || { echo "test-windows: no $letters_run/$file" >&2; exit 1; }
done
echo "test-windows: all passed under Wine in $(( $(date +%s) - start )) s"
