#!/usr/bin/env bash
# Makes the README's pictures under Wine on a virtual display, each window saved by the host
# itself and converted to PNG here:
#   docs/orbello.png   a person's clicks against OrbelloEngine.exe in orbello-host, mid-game,
#                      with a hint;
#   docs/dab-host.png  dab-host plays a game against Vantry by clicks until the middle game
#                      and asks for a hint.
# bash scripts/screenshot.sh [orbello|dab-host]   (both when no name is given)
# The x64 cross build goes to build/win64 (or $BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD_DIR:-build/win64}
which=${1:-all}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
mkdir -p docs

if [ "$which" = all ] || [ "$which" = orbello ]; then
  cmake --build "$build" -j "$(nproc)" --target orbello-host orbello orbello_data orbello-engine \
    >/dev/null
  # Black's first ten moves of the game the Windows test plays; White is the engine at a fixed
  # depth and seed, so it answers the same on every machine and the picture is the same. Then
  # a hint for Black's next move, shown on the board.
  moves="BBAC,FBFC,DBEC,CBDC,FCFB,DAEC,DCEC,AABB,EBFC,BBBC,hint"
  shot="$root/$build/orbello-screenshot.bmp"
  rm -f "$shot"
  (cd "$build" && "$root/cmake/wine-run.sh" bin/orbello-host.exe \
    --engine "OrbelloEngine.exe --movetime 0 --depth 3 --seed 1" --moves "$moves" \
    --screenshot orbello-screenshot.bmp)
  [ -s "$shot" ] || { echo "screenshot: orbello-host wrote no picture" >&2; exit 1; }
  python3 scripts/bmp2png.py "$shot" docs/orbello.png
  echo "screenshot: docs/orbello.png"
fi

if [ "$which" = all ] || [ "$which" = dab-host ]; then
  cmake --build "$build" -j "$(nproc)" --target dab-host vantry >/dev/null
  # The person clicks the first undrawn line of this list each time, Vantry answers with its
  # 5000 ms search; the window is saved once the list is used up, in the middle game, with a
  # hint shown.
  lines=BCB,ACC,BEA,ADB,BBD,AEE,BDC,ABD,BFB,AFA,BAE,ACE,BCD,hint
  shot="$root/$build/dab-host-screenshot.bmp"
  rm -f "$shot"
  (cd "$build" && "$root/cmake/wine-run.sh" bin/dab-host.exe --lines "$lines" \
    --screenshot dab-host-screenshot.bmp)
  [ -s "$shot" ] || { echo "screenshot: dab-host wrote no picture" >&2; exit 1; }
  python3 scripts/bmp2png.py "$shot" docs/dab-host.png
  echo "screenshot: docs/dab-host.png"
fi
