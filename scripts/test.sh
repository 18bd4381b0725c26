#!/usr/bin/env bash
# Builds and runs every test of the project:
#   formatting; native release build with its tests and the bench signature; native
#   ASan+UBSan build with its tests; x64 and x86 Windows builds with their tests under Wine
#   (x86: where the kernel runs 32-bit programs and wine32 is installed, see setup.sh),
#   the release archive of each unpacked and run; short fuzz passes.
# Ends with the Windows architectures whose tests ran and one line "N passed, N failed";
# exits non-zero when anything failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || exit 1

jobs=$(nproc)
passed=0
failed=0
failures=()

step_start=-1
step() {
  [ "$step_start" -lt 0 ] || echo "=== (step took $((SECONDS - step_start)) s)"
  step_start=$SECONDS
  echo; echo "=== $* (at $((SECONDS / 60))m$((SECONDS % 60))s)"
}
record() { # status, name
  if [ "$1" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); failures+=("$2"); fi
}
build_targets=()
nice_build=()
configure_build() { # dir, cmake args...; builds "${build_targets[@]}" when set, else all
  local dir=$1; shift
  local targets=()
  [ ${#build_targets[@]} -eq 0 ] || targets=(--target "${build_targets[@]}")
  cmake -S . -B "$dir" -DWERROR=ON "$@" >"$dir.configure.log" 2>&1 \
    && "${nice_build[@]}" cmake --build "$dir" -j "$jobs" "${targets[@]}" 2>&1 | tail -n 40
  return "${PIPESTATUS[0]}"
}
wrap=()
run_ctest() { # name, dir, ctest args...; runs under "${wrap[@]}" when set
  local name=$1 dir=$2; shift 2
  local out; out=$(mktemp)
  (cd "$dir" && "${wrap[@]}" ctest --output-on-failure "$@") 2>&1 | tee "$out" | grep -vE '^ +Start|^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' 
  local line total nfail
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -n 1)
  if [ -z "$line" ]; then
    record 1 "$name: ctest did not finish"
  else
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    nfail=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - nfail))
    failed=$((failed + nfail))
    [ "$nfail" -eq 0 ] || failures+=("$name: $nfail ctest failures")
  fi
  rm -f "$out"
}
mkdir -p build
windows_ran=()
windows_skipped=()

# Tests that wait on engines, windows and Wine more than they compute run in the background
# while the next build goes on, niced so that the tests' engines keep their pace: the native
# release tests during the x64 build, each Windows architecture's tests during the next
# build. One display and one wineserver per Windows run; one Windows test at a time.
bg_pid=
bg_log=
bg_name=
start_background_tests() { # name, dir, ctest args...; under "${wrap[@]}" when set
  bg_name=$1
  bg_log=$(mktemp)
  (passed=0 failed=0 failures=()
   run_ctest "$@" >"$bg_log" 2>&1; echo "$passed $failed" >"$bg_log.counts"
   printf '%s\n' "${failures[@]}" >"$bg_log.failures"
   [ ${#wrap[@]} -eq 0 ] || WINEPREFIX="$root/$2/wineprefix" wineserver -k 2>/dev/null || true) &
  bg_pid=$!
}
finish_background_tests() { # the run started last: its output, passes and failures
  [ -n "$bg_pid" ] || return 0
  wait "$bg_pid"
  echo "--- $bg_name tests:"
  cat "$bg_log"
  local counts; counts=$(cat "$bg_log.counts" 2>/dev/null || echo "0 1")
  passed=$((passed + ${counts% *}))
  failed=$((failed + ${counts#* }))
  local f
  while IFS= read -r f; do [ -z "$f" ] || failures+=("$f"); done < <(cat "$bg_log.failures" 2>/dev/null)
  [ -f "$bg_log.counts" ] || failures+=("$bg_name: the run did not finish")
  rm -f "$bg_log" "$bg_log.counts" "$bg_log.failures"
  bg_pid=
}
start_wine_tests() { # arch, dir
  wrap=(xvfb-run -a -s "-screen 0 1024x768x24")
  start_background_tests "Windows $1" "$2" -j 1
  wrap=()
  windows_ran+=("$1")
}

step "formatting (clang-format)"
files=$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
if [ -n "$files" ] && ! clang-format --dry-run --Werror $files; then record 1 "formatting"; else record 0 "formatting"; fi

step "native release build"
if configure_build build/release -DCMAKE_BUILD_TYPE=Release; then
  record 0 "native release build"
  # Twice the cores: many tests wait on the engines they start.
  start_background_tests "native release" build/release -j "$((jobs * 2))"
  nice_build=(nice -n 10)
else
  record 1 "native release build"
fi

step "Windows x64 build, its tests under Wine in the background"
if configure_build build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_BUILD_TYPE=Release; then
  record 0 "Windows x64 build"
  finish_background_tests
  start_wine_tests x64 build/win64
else
  record 1 "Windows x64 build"
  finish_background_tests
fi

step "Windows x86 build"
nice_build=(nice -n 10)
if configure_build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DCMAKE_BUILD_TYPE=Release; then
  record 0 "Windows x86 build"
  for f in build/win32/bin/Orbello.dll build/win32/bin/Vantry.exe build/win32/bin/VantryStrong.exe build/win32/bin/OrbelloEngine.exe build/win32/bin/dab-host.exe; do
    if [ -f "$f" ]; then bash scripts/check-pe.sh "$f"; record $? "PE check $f"; fi
  done
  finish_background_tests
  # setup.sh has said why when the x86 programs cannot run here.
  if bash scripts/runs-32bit.sh \
    && dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "=== Windows x86 tests under Wine in the background"
    start_wine_tests x86 build/win32
  else
    windows_skipped+=(x86)
  fi
else
  record 1 "Windows x86 build"
  finish_background_tests
fi

step "native ASan+UBSan build"
if configure_build build/asan -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON; then
  record 0 "native sanitizer build"
  nice_build=()
  finish_background_tests
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest "native sanitizers" build/asan -j "$((jobs * 2))" -LE slow
else
  record 1 "native sanitizer build"
fi
nice_build=()
finish_background_tests

step "fuzzing, ${FUZZ_SECONDS:-10} s"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
record $? "fuzzing"

build_targets=()

echo
echo "=== (step took $((SECONDS - step_start)) s)"
echo "=== Windows tests under Wine ran for: ${windows_ran[*]:-none}${windows_skipped:+ (skipped: ${windows_skipped[*]}, see setup above)}"
echo "=== done in $((SECONDS / 60))m$((SECONDS % 60))s"
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
