#!/usr/bin/env bash
# Strength and timing of Vantry: a match against each reference opponent (random, greedy,
# chain) with colours swapped, at the real 5000 ms budget per line. Run on demand; at full
# size it takes hours. Prints each match's table and one line per opponent with Vantry's
# win rate, mean score margin, mean and maximum reply time per line, and faults.
#   scripts/strength.sh [GAMES (default 20)] [ENGINE (default build/release/bin/vantry)]
# BUDGET, MARGIN, SEED, OPPONENTS and BUILD (the build folder, default build/release) in
# the environment change the defaults.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD:-build/release}
bin=$build/bin
games=${1:-20}
engine=${2:-$bin/vantry}
budget=${BUDGET:-5000}
margin=${MARGIN:-1000}
seed=${SEED:-1}
opponents=${OPPONENTS:-random greedy chain}
if [ ! -x "$engine" ] || [ ! -x "$bin/dab-referee" ] || [ ! -x "$bin/dab-opponent" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc)" --target vantry vantry-quick dab-referee dab-opponent >/dev/null
fi
out=$build/strength
mkdir -p "$out"
summary=()
for opp in $opponents; do
  log="$out/vantry-$opp.jsonl"
  echo "=== vantry against $opp: $games games, colours swapped, $budget ms + $margin ms per line"
  "$bin/dab-referee" --games "$games" --budget "$budget" --margin "$margin" \
    --seed "$seed" --progress --out "$log" --label1 vantry --label2 "$opp" \
    "$engine" "$bin/dab-opponent $opp --seed {seed}" | tee "$out/vantry-$opp.txt" | grep -v '^Game '
  # The table's first engine row is Vantry's.
  row=$(grep -E '^vantry ' "$out/vantry-$opp.txt" | tail -n 1)
  summary+=("$(printf '%-8s %s' "$opp" "$row")")
done
echo
echo "=== Vantry's strength and timing ($games games per opponent, $budget ms per line)"
printf '%-8s %s\n' opponent "$(grep -E '^engine ' "$out/vantry-${opponents%% *}.txt" | head -n 1)"
for s in "${summary[@]}"; do echo "$s"; done
echo "Logs: $root/$out"
