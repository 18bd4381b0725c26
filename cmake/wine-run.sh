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

# The Wine architectures installed (the 32-bit and 64-bit loaders). A prefix made with
# another set fails to start programs (a prefix from before wine32 was added no longer
# starts 64-bit ones), so the prefix records its set and is made again when it changes.
arches=""
for loader in /usr/lib/wine/wine /usr/lib/wine/wine64 /usr/lib/i386-linux-gnu/wine/wine \
  /usr/lib/x86_64-linux-gnu/wine/wine64; do
  [ -x "$loader" ] && arches+="${loader##*/} "
done
arches=${arches:-unknown}
stamp="$WINEPREFIX/.wine-arches"

# Wine dislikes several first starts at once: the first caller makes the prefix.
if [ "$(cat "$stamp" 2>/dev/null)" != "$arches" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ "$(cat "$stamp" 2>/dev/null)" != "$arches" ]; then
      # Only a prefix this script made (it carries a stamp, or the older .ready mark) is
      # thrown away; one given through WINEPREFIX without them is only brought up to date.
      if [ -f "$stamp" ] || [ -f "$WINEPREFIX/.ready" ]; then
        echo "wine-run: making $WINEPREFIX again for Wine's architectures: $arches" >&2
        timeout 60 wineserver -k >/dev/null 2>&1
        rm -rf "$WINEPREFIX"
      fi
      timeout 300 wineboot -i >/dev/null 2>&1
      timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      timeout 60 wineserver -w
      printf '%s' "$arches" >"$stamp"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec timeout -k 10 "${WINE_RUN_TIMEOUT:-600}" wine "$@"
