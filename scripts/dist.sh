#!/usr/bin/env bash
# Builds the Windows release archives, one per architecture, from one command:
#   dist/VantryOrbello-VERSION-x64.zip and dist/VantryOrbello-VERSION-x86.zip
# each unpacking into one folder with the programs, Orbello.dll, its data folder (Config.ini,
# bmp/, wav/) and README.txt, the guide for the person who installs them. What goes in is
# the list RELEASE_PROGRAMS in cmake/Release.cmake. Every binary is checked to import
# system DLLs only. A build folder's `cpack` makes the same archive for that build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=$(mkdir -p "${DIST_DIR:-dist}" && cd "${DIST_DIR:-dist}" && pwd)

for arch in x64 x86; do
  toolchain=cmake/toolchain-mingw64.cmake
  [ "$arch" = x86 ] && toolchain=cmake/toolchain-mingw32.cmake
  build=build/dist-$arch
  echo "dist: building $arch in $build"
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF -DWERROR=ON >/dev/null
  cmake --build "$build" -j "$(nproc)" >"$build.log" 2>&1 || { tail -n 40 "$build.log"; exit 1; }
  staging="$build/dist-package"
  rm -rf "$staging"
  (cd "$build" && cpack -G ZIP -B "$root/$staging" >/dev/null)
  zip=$(ls "$staging"/*.zip)
  mv -f "$zip" "$out/"
  zip="$out/${zip##*/}"

  # The binaries as they are in the archive.
  rm -rf "$staging" && mkdir -p "$staging"
  (cd "$staging" && cmake -E tar xf "$zip")
  for f in "$staging"/*/*.dll "$staging"/*/*.exe; do bash scripts/check-pe.sh "$f"; done
  rm -rf "$staging"
  echo "dist: $zip"
done
