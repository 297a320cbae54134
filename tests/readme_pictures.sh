#!/usr/bin/env bash
# The README shows pictures a visitor sees before building: every image it names is a small
# PNG under docs/images/, there are at least two, and the tool that makes them is named.
set -uo pipefail
root="$1"
fail() { echo "$*"; exit 1; }
readme="$root/README.md"
mapfile -t images < <(grep -oE 'src="docs/images/[^"]+"|\]\(docs/images/[^)]+\)' "$readme" |
  sed -E 's/^src="//; s/"$//; s/^\]\(//; s/\)$//')
[ "${#images[@]}" -ge 2 ] || fail "the README shows ${#images[@]} pictures from docs/images/"
for image in "${images[@]}"; do
  file="$root/$image"
  [ -f "$file" ] || fail "the README names $image, which is not there"
  [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] ||
    fail "$image is not a PNG"
  size=$(stat -c %s "$file")
  [ "$size" -le 65536 ] || fail "$image is $size bytes; keep the README's pictures small"
done
grep -q '^readme-pictures:' "$root/Makefile" || fail "no make target readme-pictures"
echo "ok: ${#images[@]} pictures"
