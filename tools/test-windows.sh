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
start=$(date +%s)
# Now and then Wine fails to start a program at all (no output, in a hundredth of a second):
# such a test runs once more. A test that fails twice fails the run.
timeout --kill-after=30 "$limit" ctest --test-dir "$build" -j "${JOBS:-2}" --output-on-failure \
  --timeout 300 --repeat until-pass:2 </dev/null
echo "test-windows: all passed under Wine in $(( $(date +%s) - start )) s"
