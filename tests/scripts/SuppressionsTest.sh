#!/usr/bin/env bash
# A race, thread or leak suppression that names a shared library hides everything whose stack
# passes through it; only called_from_lib (interceptors of a library not built with the
# sanitizer) may name one.
set -uo pipefail
dir=${1:-"$(dirname "$0")/.."}
bad=$(grep -HnE '^[a-z_]+:.*\.so(\.[0-9]+)*[[:space:]]*$' "$dir"/tsan.supp "$dir"/lsan.supp |
  grep -v ':called_from_lib:')
if [ -n "$bad" ]; then
  echo "suppressions that name a whole library:"
  echo "$bad"
  exit 1
fi
echo "suppressions: ok"
