#!/usr/bin/env bash
# Runs tarvosk-sim on a corpus aircraft file (a scenario of scenarios/aircraft/, or the soak),
# passed with --aircraft so it holds wherever the corpus is. Exit 77 (skipped) without it.
# usage: real_aircraft_scenario.sh AIRCRAFT_FILE TARVOSK_SIM ARGUMENTS...
set -uo pipefail
aircraft="$1"
shift
if [ ! -f "$aircraft" ]; then
  echo "corpus aircraft not found at $aircraft; skipping"
  exit 77
fi
sim="$1"
shift
exec "$sim" --aircraft "$aircraft" "$@"
