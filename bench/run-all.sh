#!/usr/bin/env bash
# Runs every benchmark program (bench_*) under <builddir>/bench and prints its output.
# Each comparison ends with a line "<name>: <figure> (goal <goal>)".
set -uo pipefail
builddir="${1:?usage: bench/run-all.sh <builddir>}"
mapfile -t programs < <(find "$builddir/bench" -type f -name 'bench_*' -perm -u+x | sort)
if [ ${#programs[@]} -eq 0 ]; then
  echo "no benchmark programs under $builddir/bench" >&2
  exit 1
fi
status=0
for program in "${programs[@]}"; do
  echo "== $(basename "$program")"
  # Plain output: the closing "<name>: <figure> (goal <goal>)" lines are read by people and scripts.
  "$program" --benchmark_color=false || { echo "FAILED: $program" >&2; status=1; }
done
exit $status
