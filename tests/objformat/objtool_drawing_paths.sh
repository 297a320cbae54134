#!/usr/bin/env bash
# `tarvosk-objtool check` warns where the two drawing paths would texture a truck differently:
# with OpenGL the plug-in finds the textures from the object's file name (NAME.png, NAMELIT.png),
# as an instance the simulator reads the TEXTURE and TEXTURE_LIT lines. The warnings never fail
# the check; an object whose names agree (the default tug among them) gets none.
#   objtool_drawing_paths.sh TOOL [CONTENT_DIR]
set -uo pipefail
tool="$1"
content="${2:-}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
write() {  # FILE TEXTURE [TEXTURE_LIT]
  { printf 'I\n800\nOBJ\n\n'
    [ -n "$2" ] && printf 'TEXTURE %s\n' "$2"
    [ -n "${3:-}" ] && printf 'TEXTURE_LIT %s\n' "$3"
    printf 'POINT_COUNTS 3 0 0 3\n'
    printf 'VT 0 0 0 0 1 0 0 0\nVT 1 0 0 0 1 0 1 0\nVT 0 0 1 0 1 0 0 1\nIDX 0\nIDX 1\nIDX 2\nTRIS 0 3\n'
  } >"$1"
}
fail() { echo "$1"; exit 1; }
check() {  # FILE: runs check, which must succeed; prints and returns its output
  out=$("$tool" check "$1")
  rc=$?
  echo "$out" >&2
  [ "$rc" -eq 0 ] || fail "check of $1 exited $rc: warnings must not fail it"
  echo "$out"
}

# Names that agree: no warning.
touch "$dir/tug.png" "$dir/tugLIT.png"
write "$dir/tug.obj" tug.png tugLIT.png
out=$(check "$dir/tug.obj")
grep -q '^warn' <<<"$out" && fail "unexpected warning for tug.obj"

# TEXTURE names another file than the one OpenGL finds.
touch "$dir/skin.png" "$dir/other.png" "$dir/otherLIT.png"
write "$dir/other.obj" skin.png otherLIT.png
out=$(check "$dir/other.obj")
grep -q "^warn  $dir/other.obj: TEXTURE skin.png is drawn as an instance, but with OpenGL the plug-in draws other.png" <<<"$out" ||
  fail "no warning for a TEXTURE line that names another file"

# TEXTURE names a file, but OpenGL finds no NAME.png/.tga/.bmp: the object does not load there.
write "$dir/lone.obj" skin.png
out=$(check "$dir/lone.obj")
grep -q "^warn  $dir/lone.obj: TEXTURE skin.png is drawn as an instance, but with OpenGL the plug-in looks for lone.png, .tga or .bmp beside the object and finds none: there the object does not load" <<<"$out" ||
  fail "no warning for a texture OpenGL will not find"

# The other way round: OpenGL lights it with NAMELIT.png, the object names no lit texture.
touch "$dir/dark.png" "$dir/darkLIT.png"
write "$dir/dark.obj" dark.png
out=$(check "$dir/dark.obj")
grep -q "^warn  $dir/dark.obj: with OpenGL the plug-in draws darkLIT.png, but there is no TEXTURE_LIT line, so an instance is drawn without it" <<<"$out" ||
  fail "no warning for a lit texture only OpenGL finds"

# The generated default tug and cart agree on both paths.
if [ -n "$content" ] && [ -f "$content/TVKdefault.obj" ]; then
  out=$(check "$content/TVKdefault.obj")
  grep -q '^warn' <<<"$out" && fail "the default tug draws differently on the two paths"
  out=$(check "$content/GroundServices/GPU.obj")
  grep -q '^warn' <<<"$out" && fail "the GPU cart draws differently on the two paths"
fi
echo "all drawing-path checks passed"
