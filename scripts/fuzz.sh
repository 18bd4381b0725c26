#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs them at once, each
# for SECONDS (default 60) from its seed corpus. A fault stops the run and leaves the input in
# build/fuzz/findings/; copy it into tests/fuzz/corpus/<target>/ so it replays in every build.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
shift || true
bash scripts/setup.sh native >/dev/null
command -v clang++ >/dev/null || bash scripts/setup.sh

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  shopt -s nullglob
  for f in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets"; exit 0; }

cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUZZ=ON >build/fuzz.configure.log 2>&1
cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]}" | tail -n 3

# The targets run at once (each is one process), so a pass takes SECONDS whatever their number.
run_target() { # target
  local t=$1 work=build/fuzz/corpus/$1 findings=build/fuzz/findings/$1
  mkdir -p "$work" "$findings"
  build/fuzz/bin/"$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$work" "tests/fuzz/corpus/$t" \
    >build/fuzz/"$t".log 2>&1
}
pids=()
for t in "${targets[@]}"; do
  echo "fuzz: $t for ${seconds}s"
  run_target "$t" &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if ! wait "${pids[$i]}"; then
    echo "fuzz: $t FOUND A FAULT (input in build/fuzz/findings/$t/, log in build/fuzz/$t.log)"
    tail -n 30 build/fuzz/"$t".log
    status=1
  else
    echo "fuzz: $t: $(grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' \
      build/fuzz/"$t".log | tr '\n' ' ')"
  fi
done
exit $status
