#!/usr/bin/env bash
# Sets up, builds and runs every test.
#   test.sh            the normal build
#   test.sh --asan     with AddressSanitizer and UndefinedBehaviorSanitizer
#   test.sh --tsan     with ThreadSanitizer
#   test.sh --fuzz     builds the fuzz targets with clang and runs each briefly
#   test.sh --bench    builds the benchmarks and runs each once, briefly (no timing is judged)
#   test.sh --all      all of the above
set -euo pipefail
cd "$(dirname "$0")/.."
# Which folders may include which (fails fast, before anything is built).
bash scripts/check-layers.sh
bash scripts/setup.sh --tests
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

# Optimised but with assertions (no NDEBUG): at -O0 a fuzzer tries a tenth of the inputs.
run_fuzz() {
  bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVELTRIX_GUI=OFF \
    -DVELTRIX_TESTS=OFF -DVELTRIX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g"
  shopt -s nullglob
  local f name corpus found log
  for f in build-fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f") corpus="fuzz/corpus/$name"
    found="build-fuzz/found-$name/" log="build-fuzz/$name.log"
    [ -d "$corpus" ] || { echo "no seed corpus in $corpus"; return 1; }
    mkdir -p "build-fuzz/corpus-$name"
    rm -rf "$found" && mkdir -p "$found"
    limits=(-timeout=10 -rss_limit_mb=2048)
    # A photograph's turn has room for at most 512 MiB. An input of 4 KB may claim a picture of
    # at most 4 megapixels, a few tenths of a second here: well within the time limit on a busy
    # machine. A turn that costs more than its data holds shows as a crash.
    [ "$name" = fuzz_jpegturn ] &&
      limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 -max_len=4096)
    echo "fuzzing $name"
    if ! "$f" -max_total_time="${FUZZ_SECONDS:-15}" "${limits[@]}" -artifact_prefix="$found" \
      "build-fuzz/corpus-$name" "$corpus" >"$log" 2>&1; then
      # What went wrong, and the input that did it: the clone CI runs in goes.
      grep -m1 -A20 -E '^==[0-9]+==|ALARM' "$log" || true
      tail -n 3 "$log"
      for a in "$found"*; do echo "input $a, base64:"; base64 -w 0 "$a" | head -c 40000; echo; done
      return 1
    fi
    tail -n 3 "$log"
  done
}

# Every benchmark once, for the shortest time, so none rots unseen; a run that finds none fails.
run_bench() {
  bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DVELTRIX_TESTS=ON -DVELTRIX_GUI=ON \
    -DVELTRIX_FUZZ=OFF -DVELTRIX_BENCH=ON
  local found=0
  for b in build/bench/veltrix_bench*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    found=1
    echo "benchmark $(basename "$b")"
    "$b" --benchmark_min_time=0.01 >"$b.log" 2>&1 || { cat "$b.log"; return 1; }
  done
  [ "$found" = 1 ] || { echo "no benchmark was built"; return 1; }
}

mode=${1:-}
case "$mode" in
  "")      run_suite build -DCMAKE_BUILD_TYPE=Release ;;
  --asan)  run_suite build-asan -DVELTRIX_SANITIZE="address;undefined" -DCMAKE_BUILD_TYPE=Debug ;;
  --tsan)  run_suite build-tsan -DVELTRIX_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug ;;
  --fuzz)  run_fuzz ;;
  --bench) run_bench ;;
  --all)
    run_suite build -DCMAKE_BUILD_TYPE=Release
    run_suite build-asan -DVELTRIX_SANITIZE="address;undefined" -DCMAKE_BUILD_TYPE=Debug
    run_suite build-tsan -DVELTRIX_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug
    run_fuzz
    run_bench
    ;;
  *) echo "unknown option $mode"; exit 2 ;;
esac
