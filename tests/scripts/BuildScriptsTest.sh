#!/usr/bin/env bash
# The start and test commands on a copy of the scripts, with a cmake that keeps a cache as the
# real one does (a -D setting stays until it is set again) and builds nothing, and the real
# ctest: which build type and which options each command leaves in build/, and that the test
# command fails when it finds no test.
set -uo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../common/RemoveWhenEnded.sh"
remove_when_ended "$work"
failures=0

repo=$work/repo
mkdir -p "$repo/scripts" "$work/bin"
cp "$src/scripts/start.sh" "$src/scripts/test.sh" "$src/scripts/build.sh" "$repo/scripts/"
for stub in setup.sh check-layers.sh install-desktop.sh; do
  printf '#!/usr/bin/env bash\nexit 0\n' >"$repo/scripts/$stub"
done

# cmake -S . -B DIR [-G G] -DNAME[:TYPE]=VALUE...: the settings into DIR/cache;
# cmake --build DIR ...: the program only (a stub that starts and ends).
cat >"$work/bin/cmake" <<'EOF'
#!/usr/bin/env bash
set -euo pipefail
if [ "$1" = --build ]; then
  mkdir -p "$2/app"
  printf '#!/usr/bin/env bash\nexit 0\n' >"$2/app/veltrix"
  chmod +x "$2/app/veltrix"
  exit 0
fi
dir=
while [ $# -gt 0 ]; do
  case $1 in
    -B) dir=$2; shift ;;
    -D*) set_=${1#-D}; name=${set_%%=*}; name=${name%%:*}
         mkdir -p "$dir"; touch "$dir/cache"
         grep -v "^$name=" "$dir/cache" >"$dir/cache.new" || true
         echo "$name=${set_#*=}" >>"$dir/cache.new"; mv "$dir/cache.new" "$dir/cache" ;;
  esac
  shift
done
mkdir -p "$dir"; touch "$dir/cache"
EOF
chmod +x "$work/bin/cmake"
export PATH="$work/bin:$PATH"

# expect NAME DIR SETTING...: each NAME=VALUE is in DIR's cache.
expect() {
  local name=$1 dir=$repo/$2
  shift 2
  for want in "$@"; do
    if ! grep -qx "$want" "$dir/cache" 2>/dev/null; then
      echo "FAIL $name: $want not in $dir/cache:"
      sed 's/^/    /' "$dir/cache" 2>/dev/null
      failures=$((failures + 1))
    fi
  done
}

# run NAME EXPECTED_EXIT COMMAND...
run() {
  local name=$1 expected=$2
  shift 2
  (cd "$work" && "$@") >"$work/$name.out" 2>&1
  local got=$?
  if { [ "$expected" = 0 ] && [ "$got" != 0 ]; } || { [ "$expected" != 0 ] && [ "$got" = 0 ]; }; then
    echo "FAIL $name: exit $got, expected $([ "$expected" = 0 ] && echo 0 || echo nonzero)"
    sed 's/^/    /' "$work/$name.out"
    failures=$((failures + 1))
  fi
}

# The program a user starts is built as the benchmarks are, even in a folder first made with
# the project's default type.
mkdir -p "$repo/build" && echo "CMAKE_BUILD_TYPE=RelWithDebInfo" >"$repo/build/cache"
run start 0 bash "$repo/scripts/start.sh"
expect start build CMAKE_BUILD_TYPE=Release VELTRIX_TESTS=OFF VELTRIX_BENCH=OFF

# After start.sh the test command turns the tests back on, and with none to run it fails.
run test-after-start 1 bash "$repo/scripts/test.sh"
expect test-after-start build CMAKE_BUILD_TYPE=Release VELTRIX_TESTS=ON VELTRIX_GUI=ON
grep -q "No tests were found" "$work/test-after-start.out" ||
  { echo "FAIL test-after-start: ctest did not look for tests"; failures=$((failures + 1)); }

# The sanitizer suites build their tests too, whatever their folders held before.
mkdir -p "$repo/build-asan" && echo "VELTRIX_TESTS=OFF" >"$repo/build-asan/cache"
run test-asan 1 bash "$repo/scripts/test.sh" --asan
expect test-asan build-asan CMAKE_BUILD_TYPE=Debug VELTRIX_TESTS=ON "VELTRIX_SANITIZE=address;undefined"
run test-tsan 1 bash "$repo/scripts/test.sh" --tsan
expect test-tsan build-tsan CMAKE_BUILD_TYPE=Debug VELTRIX_TESTS=ON VELTRIX_SANITIZE=thread

# The benchmarks are built in the Release folder and each is run; with none built it fails.
run test-bench 1 bash "$repo/scripts/test.sh" --bench
expect test-bench build CMAKE_BUILD_TYPE=Release VELTRIX_BENCH=ON VELTRIX_TESTS=ON
grep -q "no benchmark was built" "$work/test-bench.out" ||
  { echo "FAIL test-bench: no benchmark was looked for"; failures=$((failures + 1)); }
run start-after-bench 0 bash "$repo/scripts/start.sh"
expect start-after-bench build VELTRIX_BENCH=OFF

[ "$failures" = 0 ] && echo "all cases passed"
exit "$failures"
