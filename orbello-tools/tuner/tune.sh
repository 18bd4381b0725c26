#!/usr/bin/env bash
# Reruns the tuning of the Orbello engine's evaluation: the engine plays itself through
# orbello-referee at a short time per move, the quiet positions of those games are labelled
# with their results, and the weights fitted to them are written into
# orbello-engine/search/evaluation.cpp. Rebuild and measure the new engine against the old
# one before keeping it.
#   orbello-tools/tuner/tune.sh [GAMES (default 2000)] [MOVETIME MS (default 50)]
# In the environment: BUILD (build folder, default build/release), SEED (first game's seed,
# default 100000), CONCURRENCY (games at once, default the number of cores), FIT (more
# options for orbello-tuner fit, e.g. "--freeze PIECE"), REFEREE (more options for the
# referee, e.g. "--random-openings 4"), GAMES_LOG (existing referee logs, separated by
# blanks, to fit instead of playing new games: a round can fit the games of the last two
# engines).
# Files (in $BUILD/tuning, not kept in git): games.jsonl, the referee's log;
# positions.txt, "POSITION BLACK_POINTS GAME" lines; fit.txt, the fit's report.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
build=${BUILD:-build/release}
bin=$build/bin
games=${1:-2000}
movetime=${2:-50}
seed=${SEED:-100000}
concurrency=${CONCURRENCY:-$(nproc)}
out=$build/tuning
mkdir -p "$out"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target orbello-engine orbello-referee orbello-tuner >/dev/null

logs=${GAMES_LOG:-}
if [ -z "$logs" ]; then
  logs=$out/games.jsonl
  # The engine's seed breaks ties between equal moves, so each game takes its own course.
  cp "$bin/orbello-engine" "$out/orbello-engine"
  echo "tune: $games games of the engine against itself at $movetime ms a move -> $logs"
  # shellcheck disable=SC2086
  "$bin/orbello-referee" --games "$games" --budget "$movetime" --margin 300 --seed "$seed" \
    --concurrency "$concurrency" --out "$logs" --label1 first --label2 second ${REFEREE:-} \
    "$out/orbello-engine --movetime $movetime --seed {seed}" \
    "$out/orbello-engine --movetime $movetime --seed {seed}" >/dev/null
fi
# shellcheck disable=SC2086
"$bin/orbello-tuner" positions $logs >"$out/positions.txt"
# shellcheck disable=SC2086
"$bin/orbello-tuner" fit ${FIT:-} --write orbello-engine/search/evaluation.cpp \
  "$out/positions.txt" | tee "$out/fit.txt"
echo "tune: rebuild orbello-engine and measure it against the previous one (README, \"How the"
echo "      engine was tuned\")"
