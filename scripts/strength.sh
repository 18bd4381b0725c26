#!/usr/bin/env bash
# Strength and timing of Vantry: a match against each reference opponent (random, greedy,
# chain) at the real 5000 ms budget per line, from the balanced openings, each played twice
# with colours swapped, stopped by the SPRT once the result is clear. Run on demand; at full
# size it takes hours. Prints each match's report and one line per opponent: the engine's
# score, Elo with its 95% interval (of the pairs), the SPRT's verdict, mean and maximum
# reply time per line, and faults.
#   scripts/strength.sh [GAMES (default 200, the most a match plays)] [ENGINE (default
#   build/release/bin/vantry)]
# In the environment: BUDGET, MARGIN, SEED, OPPONENTS, BUILD (the build folder, default
# build/release), OPENINGS (default dab-tools/openings/balanced.txt), SPRT ("ELO0 ELO1",
# default "0 100": stop once the engine is clearly 100 Elo ahead of the opponent or clearly
# not ahead; empty: play every game), CONCURRENCY (games at once, default 1 so the engine's
# times are its own).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD:-build/release}
bin=$build/bin
games=${1:-200}
engine=${2:-$bin/vantry}
budget=${BUDGET:-5000}
margin=${MARGIN:-1000}
seed=${SEED:-1}
opponents=${OPPONENTS:-random greedy chain}
openings=${OPENINGS:-dab-tools/openings/balanced.txt}
sprt=${SPRT-0 100}
concurrency=${CONCURRENCY:-1}
if [ ! -x "$engine" ] || [ ! -x "$bin/dab-referee" ] || [ ! -x "$bin/dab-opponent" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc)" --target vantry vantry-quick vantry-strong vantry-strong-quick \
    dab-referee dab-opponent >/dev/null
fi
out=$build/strength
mkdir -p "$out"
logs=()
for opp in $opponents; do
  log="$out/vantry-$opp.jsonl"
  echo "=== vantry against $opp: at most $games games from $openings, colours swapped, $budget ms + $margin ms per line${sprt:+, SPRT $sprt}"
  # shellcheck disable=SC2086
  "$bin/dab-referee" --games "$games" --budget "$budget" --margin "$margin" --seed "$seed" \
    --openings "$openings" ${sprt:+--sprt $sprt} --concurrency "$concurrency" --progress \
    --out "$log" "[vantry] $engine" "[$opp] $bin/dab-opponent $opp --seed {seed}" \
    | tee "$out/vantry-$opp.txt" | grep -v '^Game '
  logs+=("$log")
done
echo
echo "=== Vantry's strength and timing (at most $games games per opponent, $budget ms per line)"
python3 "$root/scripts/match-summary.py" "${logs[@]}"
echo "Logs: $root/$out"
