#!/usr/bin/env bash
# `tarvosk-objtool VERB --help` prints that verb's usage and succeeds; it never takes
# "--help" for a file to open.
set -uo pipefail
tool="$1"
fail() { echo "$*"; exit 1; }
for verb in info check convert; do
  for flag in --help -h; do
    out=$("$tool" "$verb" "$flag" 2>&1) || fail "$verb $flag exited $?: $out"
    grep -q "^usage: tarvosk-objtool $verb " <<<"$out" || fail "$verb $flag: $out"
    if grep -q -- "--help:" <<<"$out"; then fail "$verb $flag opened a file: $out"; fi
    for other in info check convert; do
      [ "$other" = "$verb" ] && continue
      if grep -q "tarvosk-objtool $other " <<<"$out"; then fail "$verb $flag shows $other: $out"; fi
    done
  done
done
out=$("$tool" convert in.obj --help 2>&1) || fail "convert in.obj --help exited $?: $out"
grep -q "^usage: tarvosk-objtool convert IN OUT" <<<"$out" || fail "convert in.obj --help: $out"
out=$("$tool" --help) || fail "--help exited $?"
[ "$(grep -c 'tarvosk-objtool ' <<<"$out")" -ge 4 ] || fail "--help: $out"
echo ok
