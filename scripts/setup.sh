#!/usr/bin/env bash
# Installs what the builds and tests need on a fresh Debian machine, when it is missing.
# Run as root (or with sudo available). Safe to run again: it only adds what is absent.
set -euo pipefail

# "native" installs only what the native build needs (the demonstration game).
packages=(cmake make g++ libgtest-dev googletest python3 libcli11-dev nlohmann-json3-dev)
if [ "${1:-all}" != native ]; then
  packages+=(
    clang-format clang libclang-rt-14-dev
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 xvfb xauth locales imagemagick
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  # Recommends would pull in wine32, which is installed below only where it works.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

[ "${1:-all}" = native ] && exit 0

# Wine maps the module's GBK file names to UTF-8 names only under a code page 936 locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# The x86 Windows programs run under Wine's 32-bit half, wine32:i386. A kernel without
# 32-bit support breaks the 'wine' command once wine32 is installed, so it is added only
# where a 32-bit program runs. Wine prefixes made before are recreated by cmake/wine-run.sh.
if ! bash "$(dirname "$0")/runs-32bit.sh"; then
  echo "setup: this kernel does not run 32-bit programs: wine32 is not installed and the" \
    "x86 Windows tests are skipped (the x86 build is still made and its binaries checked)"
  if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "setup: wine32:i386 is installed all the same, which breaks 'wine' here:" \
      "apt-get remove wine32:i386"
  fi
elif ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  echo "setup: installing wine32:i386 for the x86 Windows tests"
  if ! { dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386; } \
    || ! $sudo apt-get update -qq \
    || ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
      wine32:i386 >/dev/null; then
    echo "setup: wine32:i386 could not be installed: the x86 Windows tests are skipped"
  fi
fi
