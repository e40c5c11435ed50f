#!/bin/bash
# Runs each libFuzzer target for the given time, starting from its seed
# corpus in tests/fuzz/corpus, and prints how many inputs it ran and what
# it found. A finding is kept in build/fuzz/findings/ and fails the run;
# add it to the target's corpus once fixed, as a regression case.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

scripts/install-deps.sh native
cmake --preset fuzz > /dev/null 2>&1 || cmake --preset fuzz
cmake --build --preset fuzz > /dev/null

findings_dir=$PWD/build/fuzz/findings
rm -rf -- "$findings_dir"
mkdir -p "$findings_dir"
work=$(mktemp -d "${TMPDIR:-/tmp}/kobax-fuzz.XXXXXX")
trap 'rm -rf -- "$work"' EXIT

total_findings=0
for target in fuzz_launch fuzz_command_line fuzz_personalize; do
  # New inputs go to a scratch corpus; the committed seeds stay as they are.
  mkdir -p "$work/$target"
  status=0
  build/fuzz/tests/fuzz/$target -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings_dir/$target-" "$work/$target" "tests/fuzz/corpus/$target" \
    > "$work/$target.log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
  found=$(find "$findings_dir" -name "$target-*" | wc -l)
  total_findings=$((total_findings + found))
  printf '%-18s %10s executions in %s s, %d findings (exit %d)\n' "$target" "${runs:-?}" "$seconds" "$found" "$status"
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY' "$work/$target.log" | head -5
  fi
done
[ "$total_findings" -eq 0 ]
