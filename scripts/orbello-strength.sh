#!/usr/bin/env bash
# Strength of the Orbello engine, measured with orbello-referee (every move judged by the
# module): matches against each reference opponent (orbello-opponent random and greedy) and
# against itself at doubled thinking time, colours swapped. Prints each match's table and
# then the strength table with the targets of the engine's issue.
#   scripts/orbello-strength.sh [GAMES (default 40)] [MOVETIME MS (default 1000)]
# In the environment: BUILD (build folder, default build/release), ENGINE and OPPONENT
# (programs, default from the build), MARGIN (ms per move on top of the engine's time,
# default 1000), SEED (default 1), CONCURRENCY (games at once, default the number of cores:
# timings are only comparable at the same setting), DOUBLINGS (how many doublings of the
# thinking time to play, default 1: 2T against T; 2 adds 4T against 2T, ...).
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

# match NAME TARGET BUDGET LABEL1 COMMAND1 LABEL2 COMMAND2: one match; its summary is kept
# for the strength table.
match() {
  local name=$1 target=$2 budget=$3 label1=$4 command1=$5 label2=$6 command2=$7
  local log="$out/$name.jsonl"
  echo "=== $label1 against $label2: $games games, colours swapped, $budget ms + $margin ms per move, $concurrency at once"
  "$bin/orbello-referee" --games "$games" --budget "$budget" --margin "$margin" --seed "$seed" \
    --concurrency "$concurrency" --progress --out "$log" --label1 "$label1" --label2 "$label2" \
    "$command1" "$command2" | tee "$out/$name.txt" | grep -v '^Game '
  rows+=("$name|$target|$log")
}

match random "all games" "$movetime" engine "$engine --movetime $movetime" \
  random "$opponent random --seed {seed}"
match greedy "95% of games (38 of 40)" "$movetime" engine "$engine --movetime $movetime" \
  greedy "$opponent greedy --seed {seed}"
t=$movetime
for ((d = 1; d <= doublings; d++)); do
  match "doubled-$((2 * t))" "60% score" "$((2 * t))" "engine $((2 * t))ms" \
    "$engine --movetime $((2 * t))" "engine $((t))ms" "$engine --movetime $t"
  t=$((2 * t))
done

echo
echo "=== Orbello engine strength ($games games per match, colours swapped, seed $seed, $concurrency games at once)"
python3 - "${rows[@]}" <<'PY'
import json, sys

def row(name, target, log):
    match = None
    with open(log) as f:
        for line in f:
            o = json.loads(line)
            if o.get("type") == "match":
                match = o
    e = match["engines"][0]
    games = match["games"]
    score = (e["wins"] + 0.5 * e["draws"]) / games * 100 if games else 0.0
    if target == "all games":
        met = e["wins"] == games
    elif target.startswith("95%"):
        met = e["wins"] >= 0.95 * games
    else:
        met = score >= 60.0
    faults = sum(e["faults"].values()) + sum(sum(x["faults"].values()) for x in match["engines"][1:])
    print("%-16s %5d %5d %6d %5d %7.1f %8.1f %8.1f %6d  %-24s %s" % (
        name, games, e["wins"], e["losses"], e["draws"], score, e["mean_ms"], e["max_ms"],
        faults, target, "met" if met else "NOT MET"))

print("%-16s %5s %5s %6s %5s %7s %8s %8s %6s  %-24s %s" % (
    "match", "games", "wins", "losses", "draws", "score %", "mean ms", "max ms", "faults",
    "target", ""))
for match in sys.argv[1:]:
    name, target, log = match.split("|", 2)
    row(name, target, log)
PY
echo "Logs: $root/$out"
