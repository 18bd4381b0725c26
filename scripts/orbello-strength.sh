#!/usr/bin/env bash
# Strength of the Orbello engine, measured with orbello-referee (every move judged by the
# module): matches against each reference opponent (orbello-opponent random and greedy) and
# against itself at doubled thinking time, all from the balanced openings, each played twice
# with colours swapped. The doubling match is stopped by the SPRT once its result is clear.
# Prints each match's report and then the strength table with Elo, the SPRT's verdict and
# the engine's targets.
#   scripts/orbello-strength.sh [GAMES (default 40; the most the doubling plays)] [MOVETIME MS
#   (default 1000)]
# In the environment: BUILD (build folder, default build/release), ENGINE and OPPONENT
# (programs, default from the build), MARGIN (ms per move on top of the engine's time,
# default 1000), SEED (default 1), CONCURRENCY (games at once, default the number of cores:
# timings are only comparable at the same setting), DOUBLINGS (how many doublings of the
# thinking time to play, default 1: 2T against T; 2 adds 4T against 2T, ...), OPENINGS
# (default orbello-tools/openings/balanced.txt), SPRT ("ELO0 ELO1" for the doublings, default
# "0 50"; empty: play every game).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD:-build/release}
bin=$build/bin
games=${1:-40}
movetime=${2:-1000}
margin=${MARGIN:-1000}
seed=${SEED:-1}
concurrency=${CONCURRENCY:-$(nproc)}
doublings=${DOUBLINGS:-1}
engine=${ENGINE:-$bin/orbello-engine}
opponent=${OPPONENT:-$bin/orbello-opponent}
openings=${OPENINGS:-orbello-tools/openings/balanced.txt}
sprt=${SPRT-0 50}

if [ ! -x "$bin/orbello-referee" ] || [ ! -x "$engine" ] || [ ! -x "$opponent" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  for target in orbello-referee orbello-engine orbello-opponent; do
    cmake --build "$build" -j "$(nproc)" --target "$target" >/dev/null 2>&1 || true
  done
fi
for program in "$bin/orbello-referee" "$engine" "$opponent"; do
  if [ ! -x "$program" ]; then
    echo "orbello-strength: $program is missing (not built, or not in this tree yet)" >&2
    exit 2
  fi
done

out=$build/orbello-strength
mkdir -p "$out"
rows=()

# match NAME TARGET BUDGET SPRT COMMAND1 COMMAND2: one match; its log is kept for the
# strength table.
match() {
  local name=$1 target=$2 budget=$3 bounds=$4 command1=$5 command2=$6
  local log="$out/$name.jsonl"
  echo "=== $name: $games games from $openings, colours swapped, $budget ms + $margin ms per move, $concurrency at once${bounds:+, SPRT $bounds}"
  # shellcheck disable=SC2086
  "$bin/orbello-referee" --games "$games" --budget "$budget" --margin "$margin" --seed "$seed" \
    --openings "$openings" ${bounds:+--sprt $bounds} --concurrency "$concurrency" --progress \
    --out "$log" "$command1" "$command2" | tee "$out/$name.txt" | grep -v '^Game '
  rows+=("$name|$target|$log")
}

match random "all" "$movetime" "" "[engine] $engine --movetime $movetime" \
  "[random] $opponent random --seed {seed}"
match greedy "95%" "$movetime" "" "[engine] $engine --movetime $movetime" \
  "[greedy] $opponent greedy --seed {seed}"
t=$movetime
for ((d = 1; d <= doublings; d++)); do
  match "doubled-$((2 * t))" "60% score" "$((2 * t))" "$sprt" \
    "[engine $((2 * t))ms] $engine --movetime $((2 * t))" \
    "[engine $((t))ms] $engine --movetime $t"
  t=$((2 * t))
done

echo
echo "=== Orbello engine strength (at most $games games per match, colours swapped, seed $seed, $concurrency games at once)"
python3 "$root/scripts/match-summary.py" "${rows[@]}"
echo "Logs: $root/$out"
