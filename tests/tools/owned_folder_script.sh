#!/usr/bin/env bash
# The scripts' folder rule: what it empties, and what it refuses and leaves as it was.
#   owned_folder_script.sh REPO
set -uo pipefail
. "${1:?usage: owned_folder_script.sh REPO}/tools/owned-folder.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { if eval "$2"; then :; else echo "FAILED: $1" >&2; failures=$((failures + 1)); fi; }

fresh_owned_folder "$work/new/out"
check "a missing folder is made and marked" '[ -f "$work/new/out/.made-by-tarvosk-sim" ]'

echo old >"$work/new/out/result.txt"
fresh_owned_folder "$work/new/out"
check "a marked folder is emptied" '[ ! -e "$work/new/out/result.txt" ]'
check "and stays marked" '[ -f "$work/new/out/.made-by-tarvosk-sim" ]'

mkdir "$work/empty"
fresh_owned_folder "$work/empty"
check "an empty folder is taken" '[ -f "$work/empty/.made-by-tarvosk-sim" ]'

mkdir "$work/users"
echo mine >"$work/users/notes.txt"
check "a folder of someone else's is refused" '! fresh_owned_folder "$work/users" 2>"$work/why"'
check "naming it" 'grep -q "not emptying .*users" "$work/why"'
check "and left as it was" '[ "$(cat "$work/users/notes.txt")" = mine ] &&
  [ ! -e "$work/users/.made-by-tarvosk-sim" ]'

echo text >"$work/a-file"
check "a file is refused" '! fresh_owned_folder "$work/a-file" 2>/dev/null'
check "and kept" '[ "$(cat "$work/a-file")" = text ]'

[ "$failures" -eq 0 ] && echo "owned-folder script: all checks passed"
exit "$failures"
