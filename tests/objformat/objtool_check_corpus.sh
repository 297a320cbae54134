#!/usr/bin/env bash
# Runs `tarvosk-objtool check` over every object of the corpus and expects its summary line:
# every file loads except the two that are not objects at all. Exit 77 (skipped) without it.
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
expected="checked $total files: $((total - 2)) loaded, 2 failed"
last=$(printf '%s\n' "$out" | tail -n 1)
if [ "$last" != "$expected" ]; then
  echo "expected the summary line '$expected', got '$last'"
  exit 1
fi
if [ "$rc" -eq 0 ]; then
  echo "check exited 0 although files failed"
  exit 1
fi
