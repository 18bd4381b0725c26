#!/usr/bin/env bash
# The levels' ladder, measured with the referees: level 1 of the strong engines against the
# greedy reference opponent, and each level against the one below, colours swapped. Prints
# each match and then a table per game: wins, draws, losses and score of the higher level
# (level 1 against greedy), and its logistic Elo difference with a 95% interval, read as
# libs/match/statistics.h reads single games.
#   scripts/levels.sh [GAMES (default 100)] [MS per move (default 300)] [dab|orbello|both]
# In the environment: BUILD (build folder, default build/release), MARGIN (ms per move on
# top of the budget, default 1000), SEED (default 1), CONCURRENCY (games at once, default 2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD:-build/release}
bin=$build/bin
games=${1:-100}
ms=${2:-300}
which=${3:-both}
margin=${MARGIN:-1000}
seed=${SEED:-1}
concurrency=${CONCURRENCY:-2}

targets=()
[ "$which" != orbello ] && targets+=(vantry-strong dab-referee dab-opponent)
[ "$which" != dab ] && targets+=(orbello-engine orbello-referee orbello-opponent)
for target in "${targets[@]}"; do
  if [ ! -x "$bin/$target" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null
    break
  fi
done

out=$build/levels
mkdir -p "$out"

# ladder GAME REFEREE ENGINE OPPONENT: level 1 against OPPONENT, then 2..5 each against the
# level below; ENGINE is the engine's command without its level.
ladder() {
  local game=$1 referee=$2 engine=$3 opponent=$4 logs=()
  for level in 1 2 3 4 5; do
    local label1="level $level" command1="$engine --level $level --seed {seed}"
    local label2 command2
    if [ "$level" -eq 1 ]; then
      label2=greedy
      command2=$opponent
    else
      label2="level $((level - 1))"
      command2="$engine --level $((level - 1)) --seed {seed}"
    fi
    local log="$out/$game-$level.jsonl"
    echo "=== $game: $label1 against $label2, $games games, colours swapped, $ms ms + $margin ms per move, $concurrency at once"
    "$bin/$referee" --games "$games" --budget "$ms" --margin "$margin" --seed "$seed" \
      --concurrency "$concurrency" --out "$log" --label1 "$label1" --label2 "$label2" \
      "$command1" "$command2" | grep -v '^Game ' || true
    logs+=("$label1|$label2|$log")
  done
  echo
  echo "=== $game ladder ($games games a match, $ms ms a move, seed $seed)"
  python3 - "${logs[@]}" <<'PY'
import json, math, sys

Z95 = 1.959963984540054


def elo(score, bound=False):
    if 0 < score < 1:
        return "%+.1f" % (400 * math.log10(score / (1 - score)))
    return "unbounded" if bound else "%sinf (unbounded)" % ("+" if score >= 1 else "-")


# The score interval of libs/match/statistics.h for single games: the expected scores p
# within 1.96 standard errors taken at p itself, the drawn share counted over one more game.
def interval(w, d, l):
    n = w + d + l
    mean = (w + 0.5 * d) / n
    interior = 0.25 * d / n * n / (n + 1)
    k = Z95 * Z95 / n
    a, b, c = 1 + k, 2 * mean + k, mean * mean + k * interior
    root = math.sqrt(max(0.0, b * b - 4 * a * c))
    low = 0 if mean <= 0 else min((b - root) / (2 * a), mean)
    high = 1 if mean >= 1 else max((b + root) / (2 * a), mean)
    return mean, low, high


print("| match | games | wins | draws | losses | score | Elo (95% interval) |")
print("|---|---:|---:|---:|---:|---:|---|")
for arg in sys.argv[1:]:
    label1, label2, log = arg.split("|", 2)
    match = None
    with open(log) as f:
        for line in f:
            o = json.loads(line)
            if o.get("type") == "match":
                match = o
    if match is None:
        print("| %s - %s | no result |" % (label1, label2))
        continue
    e = match["engines"][0]
    w, l = e["wins"], e["losses"]
    d = e.get("draws", 0)
    n = w + d + l
    s, lo, hi = interval(w, d, l)
    faults = sum(sum(x["faults"].values()) for x in match["engines"])
    print("| %s - %s | %d | %d | %d | %d | %.1f%% | %s [%s, %s]%s |" % (
        label1, label2, n, w, d, l, 100 * s, elo(s), elo(lo, True), elo(hi, True),
        ", %d faults" % faults if faults else ""))
PY
}

if [ "$which" != orbello ]; then
  ladder dab dab-referee "$bin/vantry-strong --budget $ms" "$bin/dab-opponent greedy --seed {seed}"
fi
if [ "$which" != dab ]; then
  ladder orbello orbello-referee "$bin/orbello-engine --movetime $ms" \
    "$bin/orbello-opponent greedy --seed {seed}"
fi
echo "Logs: $root/$out"
