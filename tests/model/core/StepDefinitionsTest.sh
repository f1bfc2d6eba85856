#!/usr/bin/env bash
# StepDefinitionsTest.sh LIBRARY...: the fifth-order steps are compiled in the files chosen for
# them alone. Another file's copy of a step would be compiled with that file's flags, and which
# copy the linker keeps would decide the speed of every run.
set -uo pipefail
homes='^(Steppers|StepsUnpaired)\.cpp\.o$'
found=0 failures=0
for lib in "$@"; do
  while IFS=: read -r _ member line; do
    found=$((found + 1))
    if ! [[ $member =~ $homes ]]; then
      echo "FAIL $(basename "$lib") $member defines ${line#* * }"
      failures=$((failures + 1))
    fi
  done < <(nm -A -C --defined-only "$lib" | grep 'steppers::RKFStep')
done
[ "$found" -gt 0 ] || { echo "FAIL no fifth-order step found"; exit 1; }
echo "$found definitions checked"
exit "$failures"
