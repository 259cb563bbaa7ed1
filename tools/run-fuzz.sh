#!/usr/bin/env bash
# Runs one fuzz target from its checked-in seeds, in a scratch corpus so that
# what the fuzzer finds stays out of the tree; prints one closing line.
set -uo pipefail
target=$1 seeds=$2; shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp -r "$seeds"/. "$work/corpus"/ 2>/dev/null || true
started=$(date +%s.%N)
if "$target" "$@" -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1; then
  echo "$(basename "$target"): $(grep -E '^Done [0-9]+ runs' "$work/log") ($(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN {printf "%.0f s", b - a}'))"
else
  tail -n 40 "$work/log"
  for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-*; do
    [ -e "$crash" ] && { mkdir -p fuzz-failures; cp "$crash" fuzz-failures/; echo "kept fuzz-failures/$(basename "$crash")"; }
  done
  exit 1
fi
