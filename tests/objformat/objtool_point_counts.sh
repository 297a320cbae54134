#!/usr/bin/env bash
# `tarvosk-objtool` reports a version-8 object whose tables do not match its POINT_COUNTS.
# Fewer VT lines or indices than declared, or any table running past its count, fails `check`
# and is an error in `info`; fewer VLINE or VLIGHT lines only warn, as X-Plane loads such
# objects (exporters count custom and named lights there). A cut copy of the default tug
# (TUG, optional) is the case that once passed as "ok".
set -uo pipefail
tool="$1"
tug="${2:-}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "$*"; exit 1; }
header='I\n800\nOBJ\n\n'
vt='VT 0 0 0 0 1 0 0 0\n'
printf "${header}POINT_COUNTS 3 1 1 14\n${vt}${vt}${vt}VLINE 0 0 0 1 1 1\nVLIGHT 0 1 0 1 1 1\nIDX10 0 1 2 0 1 2 0 1 2 0 2 2 # past ten\nIDX 0\nIDX 1\nIDX 2\nIDX 2\nTRIS 0 6\nLINES 0 1\nLIGHTS 0 1\n" >"$dir/good.obj"
printf "${header}POINT_COUNTS 3 0 0 3\n${vt}${vt}IDX 0\nIDX 1\nIDX 1\nTRIS 0 3\n" >"$dir/short.obj"
printf "${header}POINT_COUNTS 3 0 0 3\n${vt}${vt}${vt}${vt}IDX10 0 1 2 0 1 2\nTRIS 0 3\n" >"$dir/long.obj"
printf "${header}POINT_COUNTS 0 2 1 0\nVLINE 0 0 0 1 1 1\nVLIGHT 0 1 0 1 1 1\r\nVLIGHT 0 1 0 1 1 1\r\nLINES 0 2\n" >"$dir/lines.obj"
# As a common exporter writes it: four lights counted, one of them a VLIGHT line.
printf "${header}POINT_COUNTS 3 0 4 3\n${vt}${vt}${vt}VLIGHT 0 1 0 1 1 1\nIDX 0\nIDX 1\nIDX 2\nTRIS 0 3\nLIGHTS 0 1\nLIGHT_CUSTOM 0 2 0 1 1 1 1 0.5 0 0 1 1 sim/x\nLIGHT_PARAM airplane_beacon 1 2 3 0\n" >"$dir/custom.obj"

out=$("$tool" check "$dir/good.obj") || fail "a matching object fails: $out"
out=$("$tool" check "$dir/short.obj")
[ $? -eq 1 ] || fail "a short object passes: $out"
grep -qF "FAIL  $dir/short.obj: POINT_COUNTS declares 3 vertices, the file has 2 VT lines" <<<"$out" ||
  fail "no short vertices in: $out"
out=$("$tool" check "$dir/long.obj")
[ $? -eq 1 ] || fail "an object running past its counts passes: $out"
grep -qF "POINT_COUNTS declares 3 vertices, the file has 4 VT lines (from line 9 on past the count); POINT_COUNTS declares 3 indices, the file has 6 indices on IDX and IDX10 lines (from line 10 on past the count)" <<<"$out" ||
  fail "no long tables in: $out"
out=$("$tool" check "$dir/lines.obj")
[ $? -eq 1 ] || fail "long lights pass: $out"
grep -qF "FAIL  $dir/lines.obj: POINT_COUNTS declares 1 lights, the file has 2 VLIGHT lines (from line 8 on" <<<"$out" ||
  fail "no light count in: $out"
if grep -qF "line vertices" <<<"$out"; then fail "short lines fail: $out"; fi
out=$("$tool" check "$dir/custom.obj") || fail "lights short of their count fail: $out"
grep -qF "ok    $dir/custom.obj" <<<"$out" || fail "custom lights: $out"
grep -qF "warn  $dir/custom.obj: POINT_COUNTS declares 4 lights, the file has 1 VLIGHT lines" <<<"$out" ||
  fail "no warning for the custom lights: $out"
out=$("$tool" check "$dir/good.obj" "$dir/short.obj")
[ $? -eq 1 ] || fail "check of two with one short passes"
grep -qF "checked 2 files: 1 passed, 1 failed" <<<"$out" || fail "summary: $out"

# info still describes the model, with the errors and warnings.
out=$("$tool" info "$dir/short.obj")
[ $? -eq 1 ] || fail "info of a short object exits 0: $out"
grep -qF "error:         POINT_COUNTS declares 3 vertices, the file has 2 VT lines" <<<"$out" ||
  fail "info gives no error: $out"
grep -qF "model:         3 vertices" <<<"$out" || fail "info describes no model: $out"
out=$("$tool" info "$dir/custom.obj") || fail "info of custom lights exits non-zero: $out"
grep -qF "warning:       POINT_COUNTS declares 4 lights, the file has 1 VLIGHT lines" <<<"$out" ||
  fail "info gives no warning: $out"
out=$("$tool" info "$dir/good.obj")
if grep -q '^warning\|^error' <<<"$out"; then fail "a matching object warns: $out"; fi

if [ -n "$tug" ] && [ -f "$tug" ]; then
  head -n 20 "$tug" >"$dir/cut.obj"
  out=$("$tool" check "$dir/cut.obj")
  [ $? -eq 1 ] || fail "the first 20 lines of the default tug pass: $out"
  grep -qE "^FAIL .*POINT_COUNTS declares [0-9]+ vertices, the file has [0-9]+ VT lines" <<<"$out" ||
    fail "cut tug: $out"
  "$tool" check "$tug" >/dev/null || fail "the whole default tug fails"
fi
echo "ok"
