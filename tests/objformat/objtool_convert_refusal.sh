#!/usr/bin/env bash
# `tarvosk-objtool convert` refuses whatever `check` fails, with the same reason and exit
# status 1, and writes nothing: a cut object would otherwise come out whole-looking, its
# missing vertices and indices as zeros. The first half of the default tug (TUG) and a cut
# version-7 object are the cases; a whole object still converts.
set -uo pipefail
tool="$1"
tug="$2"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "$*"; exit 1; }
[ -f "$tug" ] || fail "no default tug at $tug"
head -n $(($(wc -l <"$tug") / 2)) "$tug" >"$dir/half.obj"
printf 'I\n700\nOBJ\n\ntruck\nquad\n0 0 0 0 0\n1 0 0 1 0\n1 1' >"$dir/cut7.obj"

for name in half cut7; do
  in="$dir/$name.obj"
  checked=$("$tool" check "$in")
  [ $? -eq 1 ] || fail "check passes $name: $checked"
  reason=${checked#"FAIL  $in: "}
  [ "$reason" != "$checked" ] && [ -n "$reason" ] || fail "check of $name gives no reason: $checked"
  out=$("$tool" convert "$in" "$dir/$name-out.obj" 2>&1)
  [ $? -eq 1 ] || fail "convert of $name exits otherwise than 1: $out"
  [ "$out" = "tarvosk-objtool: $in: $reason" ] || fail "convert of $name says '$out', check '$reason'"
  [ ! -e "$dir/$name-out.obj" ] || fail "convert of $name wrote a file"
done
grep -qF "POINT_COUNTS declares 544 vertices, the file has" <<<"$("$tool" check "$dir/half.obj")" ||
  fail "the half tug is not refused for its vertices"

"$tool" convert "$tug" "$dir/whole.obj" >/dev/null || fail "the whole default tug does not convert"
"$tool" check "$dir/whole.obj" >/dev/null || fail "the converted tug fails check"
echo ok
