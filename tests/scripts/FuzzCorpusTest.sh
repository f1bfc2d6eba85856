#!/usr/bin/env bash
# Every fuzz target starts from seeds of its own: fuzz/corpus/<target>/ holds at least one input.
set -uo pipefail
root=${1:-"$(dirname "$0")/../.."}
failures=0
for target in $(grep -oE 'veltrix_fuzz\((fuzz_[a-z0-9_]+)' "$root/fuzz/CMakeLists.txt" | sed 's/.*(//'); do
  if [ -z "$(ls -A "$root/fuzz/corpus/$target" 2>/dev/null)" ]; then
    echo "FAIL $target: no seed in fuzz/corpus/$target/"
    failures=$((failures + 1))
  fi
done
[ "$failures" = 0 ] && echo "every fuzz target is seeded"
exit "$failures"
