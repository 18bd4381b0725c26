#!/usr/bin/env bash
# The main job: builds the project natively and plays a demonstration game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh native
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" >/dev/null
# A short scripted exchange until the referee plays whole games: one command, then its reply.
engine=build/release/bin/vantry
coproc ENGINE { "$engine"; }
for cmd in "name?" "new white" "move 1 BCA"; do
  echo ">> $cmd"
  echo "$cmd" >&"${ENGINE[1]}"
  sleep 0.2
  timeout 7 bash -c 'while IFS= read -r -t 6 line; do echo "$line"; done' <&"${ENGINE[0]}" || true
done
echo "quit" >&"${ENGINE[1]}"
wait "$ENGINE_PID" || true
