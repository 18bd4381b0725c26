#!/usr/bin/env bash
# The main job: builds the project natively and plays one demonstration game of Dots and
# Boxes, Vantry (full 5000 ms per line) against the greedy reference opponent, through the
# referee, showing each turn and the board; then says where the match log is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh native
echo "Building (native release)..."
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" >/dev/null
bin=build/release/bin
log=build/release/demo-match.jsonl
echo "Demonstration game: vantry (black) against greedy (white), 5000 ms per line."
"$bin/dab-referee" --games 1 --boards --budget 5000 --margin 1000 --out "$log" \
  --label1 vantry --label2 greedy "$bin/vantry" "$bin/dab-opponent greedy --seed {seed}"
echo "The match log (JSON lines: the settings, the game, the match) is in $root/$log"
