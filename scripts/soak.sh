#!/usr/bin/env bash
# Soak match of Vantry through the referee, fresh engine processes every game:
#  1. GAMES games (default 500) of vantry-quick (the 40 ms budget build) against the
#     reference opponents in turn (random, greedy, chain; colours swapped within each
#     match): faults, which must be 0, and how often move generation came back empty
#     (vantry-quick writes "vantry: empty move lists N" on its error stream at exit;
#     those lines are summed);
#  2. REAL_GAMES games (default 2) of vantry at the real 5000 ms budget against
#     REAL_OPPONENT (default chain): time per line and its overshoot over the budget,
#     maximum and 99th percentile. A reply of k lines counts as k lines of its mean time.
#   scripts/soak.sh [GAMES] [REAL_GAMES]
# BUILD (default build/release), SEED (default 1), OPPONENTS, REAL_OPPONENT and MARGIN
# (referee allowance per line, default 1000 ms) in the environment change the defaults.
# Exit status 1 when Vantry faulted or a game is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD:-build/release}
bin=$build/bin
games=${1:-500}
real_games=${2:-2}
seed=${SEED:-1}
margin=${MARGIN:-1000}
opponents=(${OPPONENTS:-random greedy chain})
real_opponent=${REAL_OPPONENT:-chain}

command -v python3 >/dev/null || bash scripts/setup.sh native >/dev/null
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target vantry vantry-quick dab-referee dab-opponent \
  >/dev/null

out=$build/soak
rm -rf "$out"
mkdir -p "$out"

# One match: referee log as JSON lines, the engines' error streams (with the referee's
# progress line) kept beside it.
match() { # name games budget engine opponent
  local name=$1 n=$2 budget=$3 engine=$4 opp=$5
  "$bin/dab-referee" --games "$n" --budget "$budget" --margin "$margin" --seed "$seed" \
    --progress --out "$out/$name.jsonl" --label1 vantry --label2 "$opp" \
    "$engine" "$bin/dab-opponent $opp --seed {seed}" >"$out/$name.txt" 2>"$out/$name.err"
}

per=$((games / ${#opponents[@]}))
extra=$((games % ${#opponents[@]}))
quick_logs=()
for i in "${!opponents[@]}"; do
  opp=${opponents[$i]}
  n=$((per + (i < extra ? 1 : 0)))
  [ "$n" -gt 0 ] || continue
  echo "soak: vantry-quick against $opp, $n games (40 ms per line, colours swapped)"
  match "quick-$opp" "$n" 40 "$bin/vantry-quick" "$opp"
  quick_logs+=("quick-$opp")
done

real_logs=()
if [ "$real_games" -gt 0 ]; then
  echo "soak: vantry against $real_opponent, $real_games games at 5000 ms per line"
  match "real-$real_opponent" "$real_games" 5000 "$bin/vantry" "$real_opponent"
  real_logs+=("real-$real_opponent")
fi

python3 - "$out" "$games" "${#quick_logs[@]}" "${quick_logs[@]}" "${real_logs[@]}" <<'EOF'
import json, math, re, sys

out, games, nquick = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
quick, real = sys.argv[4:4 + nquick], sys.argv[4 + nquick:]
ok = True

def load(name):
    gs, match = [], None
    with open(f"{out}/{name}.jsonl") as f:
        for line in f:
            o = json.loads(line)
            if o["type"] == "game":
                gs.append(o)
            elif o["type"] == "match":
                match = o
    return gs, match

def vantry_faults(gs):
    return [g for g in gs if g["fault"] and g["fault"]["engine"] == "vantry"]

def percentile(values, p):
    v = sorted(values)
    return v[max(0, math.ceil(p / 100 * len(v)) - 1)]

played = won = faults = 0
other_faults = 0
empty = reports = 0
if quick:
    print()
    print("=== Soak: vantry-quick (40 ms per line) against the reference opponents")
for name in quick:
    gs, m = load(name)
    played += len(gs)
    won += sum(1 for g in gs if g["winner_label"] == "vantry")
    bad = vantry_faults(gs)
    faults += len(bad)
    other_faults += sum(1 for g in gs if g["fault"] and g["fault"]["engine"] != "vantry")
    for g in bad:
        ok = False
        print(f"  FAULT game {g['game']} seed {g['seed']}: {g['fault']['kind']} {g['fault']['detail']}")
    n = 0
    with open(f"{out}/{name}.err", errors="replace") as f:
        for line in f:
            r = re.search(r"vantry: empty move lists (\d+)", line)
            if r:
                n += 1
                empty += int(r.group(1))
    reports += n
    print(f"  {name[6:]:8s} games {len(gs):4d}  won {sum(1 for g in gs if g['winner_label'] == 'vantry'):4d}"
          f"  vantry faults {len(bad)}  empty-list reports {n}")
if played != games:
    ok = False
    print(f"  MISSING GAMES: {played} of {games} played")
if quick:
    print(f"games {played}  vantry won {won}  vantry faults {faults}  opponent faults {other_faults}")
    print(f"empty move lists {empty} (reported by {reports} of {played} engine processes)")
    if reports != played:
        print("  note: an engine process that was stopped by the referee reports nothing")

for name in real:
    gs, m = load(name)
    budget = m["budget_ms"]
    per_line, lines = [], 0
    for g in gs:
        colour = "black" if g["black"] == "vantry" else "white"
        for who, codes, ms in g["turns"]:
            if who != colour or not codes:
                continue
            k = len(codes) // 3
            lines += k
            per_line += [ms / k] * k
    bad = vantry_faults(gs)
    for g in bad:
        ok = False
        print(f"  FAULT game {g['game']} seed {g['seed']}: {g['fault']['kind']} {g['fault']['detail']}")
    print()
    print(f"=== vantry at {budget} ms per line against {name[5:]}: {len(gs)} games, {lines} lines,"
          f" vantry faults {len(bad)}")
    if per_line:
        over = [t - budget for t in per_line]
        print(f"time per line: mean {sum(per_line) / len(per_line):.1f} ms"
              f"  99th percentile {percentile(per_line, 99):.1f} ms  maximum {max(per_line):.1f} ms")
        print(f"overshoot over {budget} ms: 99th percentile {percentile(over, 99):+.1f} ms"
              f"  maximum {max(over):+.1f} ms  lines over budget {sum(1 for o in over if o > 0)}")
print()
print(f"Logs: {out}")
sys.exit(0 if ok else 1)
EOF
