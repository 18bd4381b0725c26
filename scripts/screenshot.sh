#!/usr/bin/env bash
# Makes docs/orbello.png: orbello-host plays the opening of a game by clicks under Wine on a
# virtual display and saves its window; the picture is converted to PNG here.
# The x64 cross build goes to build/win64 (or $BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD_DIR:-build/win64}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target orbello-host orbello orbello_data >/dev/null

# Eleven plies with three loop captures by Black; the last capture's target carries the mark.
moves=FBEC,EEDD,ECFD,BECD,FDDF,FEED,DFED,CEBD,EDDE,FFEE,DEDD
shot="$root/$build/orbello-screenshot.bmp"
rm -f "$shot"
(cd "$build" && "$root/cmake/wine-run.sh" bin/orbello-host.exe --moves "$moves" \
  --screenshot orbello-screenshot.bmp)
[ -s "$shot" ] || { echo "screenshot: orbello-host wrote no picture" >&2; exit 1; }
mkdir -p docs
python3 scripts/bmp2png.py "$shot" docs/orbello.png
echo "screenshot: docs/orbello.png"
