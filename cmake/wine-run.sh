#!/usr/bin/env bash
# Runs one Windows program under Wine, as ctest's cross-compiling emulator and for the
# project's scripts: a private prefix under the build folder, no debug chatter, no crash
# dialog waiting for a click, the GBK code page (so the module's Chinese file names map to
# the UTF-8 names on disk), a null sound device, a virtual display, and a time limit.
set -u

if [ -z "${WINEPREFIX:-}" ]; then
  dir=$PWD
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || dir=$PWD
  export WINEPREFIX="$dir/wineprefix"
fi
winehome="$WINEPREFIX.home"
mkdir -p "$winehome"
[ -f "$winehome/.asoundrc" ] || printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$winehome/.asoundrc"
export HOME="$winehome"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi

if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# Wine dislikes several first starts at once: the first caller makes the prefix.
if [ ! -f "$WINEPREFIX/.ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.ready" ]; then
      timeout 300 wineboot -i >/dev/null 2>&1
      timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      timeout 60 wineserver -w
      touch "$WINEPREFIX/.ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec timeout -k 10 "${WINE_RUN_TIMEOUT:-600}" wine "$@"
