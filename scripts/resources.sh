#!/usr/bin/env bash
# Resource check of the x64 Orbello.dll under Wine: 1000 board rectangles with a repaint
# each and 200 whole games on one game object, then 50 more objects created and destroyed.
# Prints the module's GDI objects and window DCs (counted through its import table), the
# heap bytes in use and the private bytes before and after, and fails when a count moved or
# memory grew. Arguments go to the program (--cycles N --games N --sound-games N --objects N).
# The x64 cross build goes to build/win64 (or $BUILD_DIR).
#   bash scripts/resources.sh [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD_DIR:-build/win64}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DWERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target orbello_resources orbello orbello_data >/dev/null
cd "$build"
WINE_RUN_TIMEOUT=${WINE_RUN_TIMEOUT:-1800} "$root/cmake/wine-run.sh" bin/orbello_resources.exe \
  --cycles 1000 --games 200 --sound-games 10 --objects 50 "$@"
