#!/usr/bin/env bash
# Runs `tarvosk-objtool check` over every object of the corpus and expects its summary line:
# every file passes except the two that are not objects at all and the two whose tables do
# not match their POINT_COUNTS (one has none, one more indices than it declares). Exit 77
# (skipped) without the corpus.
set -uo pipefail
tool="$1"
corpus="$2"
if [ ! -f "$corpus/MANIFEST.tsv" ]; then
  echo "corpus not found at $corpus; skipping"
  exit 77
fi
mapfile -d '' objects < <(find "$corpus" -type f -name '*.obj' -print0 | sort -z)
total=${#objects[@]}
out=$("$tool" check "${objects[@]}")
rc=$?
echo "$out"
expected="checked $total files: $((total - 4)) passed, 4 failed"
last=$(printf '%s\n' "$out" | tail -n 1)
if [ "$last" != "$expected" ]; then
  echo "expected the summary line '$expected', got '$last'"
  exit 1
fi
counts=$(grep -c '^FAIL .*: POINT_COUNTS declares' <<<"$out")
if [ "$counts" -ne 2 ]; then
  echo "expected 2 files failing on POINT_COUNTS, got $counts"
  exit 1
fi
if [ "$rc" -eq 0 ]; then
  echo "check exited 0 although files failed"
  exit 1
fi
