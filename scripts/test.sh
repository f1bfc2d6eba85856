#!/usr/bin/env bash
# Sets up, builds and runs every test.
#   test.sh            the normal build
#   test.sh --asan     with AddressSanitizer and UndefinedBehaviorSanitizer
#   test.sh --tsan     with ThreadSanitizer
#   test.sh --fuzz     builds the fuzz targets with clang and runs each briefly
#   test.sh --all      all of the above
set -euo pipefail
cd "$(dirname "$0")/.."
# Which folders may include which (fails fast, before anything is built).
bash scripts/check-layers.sh
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
# Cache hits across clones in other folders.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
jobs=$(nproc)

# Every test, whatever a folder was last configured with (start.sh turns the tests off in
# build/); a suite that finds no test fails.
run_suite() { # dir, cmake options...
  local dir=$1; shift
  bash scripts/build.sh "$dir" -DVELTRIX_TESTS=ON -DVELTRIX_GUI=ON -DVELTRIX_FUZZ=OFF "$@"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j "$jobs" --timeout 300)
}

run_fuzz() {
  bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVELTRIX_GUI=OFF \
    -DVELTRIX_TESTS=OFF -DVELTRIX_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug
  shopt -s nullglob
  for f in build-fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    corpus="fuzz/corpus/$(basename "$f")"
    mkdir -p "build-fuzz/corpus-$(basename "$f")"
    echo "fuzzing $(basename "$f")"
    "$f" -max_total_time="${FUZZ_SECONDS:-15}" -timeout=10 -rss_limit_mb=2048 \
      "build-fuzz/corpus-$(basename "$f")" $( [ -d "$corpus" ] && echo "$corpus" ) 2>&1 | tail -n 3
  done
}

mode=${1:-}
case "$mode" in
  "")      run_suite build -DCMAKE_BUILD_TYPE=Release ;;
  --asan)  run_suite build-asan -DVELTRIX_SANITIZE="address;undefined" -DCMAKE_BUILD_TYPE=Debug ;;
  --tsan)  run_suite build-tsan -DVELTRIX_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug ;;
  --fuzz)  run_fuzz ;;
  --all)
    run_suite build -DCMAKE_BUILD_TYPE=Release
    run_suite build-asan -DVELTRIX_SANITIZE="address;undefined" -DCMAKE_BUILD_TYPE=Debug
    run_suite build-tsan -DVELTRIX_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug
    run_fuzz
    ;;
  *) echo "unknown option $mode"; exit 2 ;;
esac
