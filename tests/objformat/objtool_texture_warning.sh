#!/usr/bin/env bash
# `tarvosk-objtool check` warns of a TEXTURE or TEXTURE_LIT line naming a file that is not
# beside the object, and stays quiet (and successful) when the files are there.
set -uo pipefail
tool="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
write() {
  printf 'I\n800\nOBJ\n\nTEXTURE %s\nTEXTURE_LIT %s\nPOINT_COUNTS 3 0 0 3\n' "$2" "$3" >"$1"
  printf 'VT 0 0 0 0 1 0 0 0\nVT 1 0 0 0 1 0 1 0\nVT 0 0 1 0 1 0 0 1\nIDX 0\nIDX 1\nIDX 2\nTRIS 0 3\n' >>"$1"
}
# Named after the object, so that the OpenGL path finds the same files (objtool_drawing_paths.sh).
touch "$dir/good.png" "$dir/goodLIT.png"
write "$dir/good.obj" good.png goodLIT.png
write "$dir/bad.obj" elsewhere.png night_missing.png
out=$("$tool" check "$dir/good.obj")
rc=$?
echo "$out"
[ "$rc" -eq 0 ] || { echo "check of a good object exited $rc"; exit 1; }
if grep -q '^warn' <<<"$out"; then echo "unexpected warning"; exit 1; fi
out=$("$tool" check "$dir/bad.obj")
rc=$?
echo "$out"
[ "$rc" -eq 0 ] || { echo "a texture warning must not fail the check (exit $rc)"; exit 1; }
grep -q "^warn  $dir/bad.obj: TEXTURE elsewhere.png is not beside the object" <<<"$out" ||
  { echo "no TEXTURE warning"; exit 1; }
grep -q "^warn  $dir/bad.obj: TEXTURE_LIT night_missing.png is not beside the object" <<<"$out" ||
  { echo "no TEXTURE_LIT warning"; exit 1; }
