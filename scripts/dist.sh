#!/usr/bin/env bash
# Builds the Windows deliverables for x64 and x86 and gathers them in dist/:
#   dist/x64/ and dist/x86/: Orbello.dll, Vantry.exe, VantryStrong.exe, orbello-host.exe and the data folder
#   (Config.ini, bmp/, wav/) beside them, each folder complete on its own.
# Every binary is checked to import system DLLs only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${DIST_DIR:-dist}

for arch in x64 x86; do
  toolchain=cmake/toolchain-mingw64.cmake
  [ "$arch" = x86 ] && toolchain=cmake/toolchain-mingw32.cmake
  build=build/dist-$arch
  echo "dist: building $arch in $build"
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF -DWERROR=ON >/dev/null
  cmake --build "$build" -j "$(nproc)" --target orbello vantry vantry-strong orbello-host orbello_data >/dev/null
  rm -rf "${out:?}/$arch"
  mkdir -p "$out/$arch"
  cp "$build/bin/Orbello.dll" "$build/bin/Vantry.exe" "$build/bin/orbello-host.exe" "$out/$arch/"
  cp "$build/bin/VantryStrong.exe" "$out/$arch/"
  cp -r "$build/bin/data" "$out/$arch/data"
  for f in "$out/$arch"/*.dll "$out/$arch"/*.exe; do bash scripts/check-pe.sh "$f"; done
done
echo "dist: $(find "$out" -type f | wc -l) files in $out/"
