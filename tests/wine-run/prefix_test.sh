#!/usr/bin/env bash
# cmake/wine-run.sh makes a prefix once for the installed Wine architectures: it makes it
# again when the prefix was made for another set (or before sets were recorded), keeps it
# when the set is the same, and never throws away a prefix it did not make. The Wine
# commands are stand-ins that log their calls.
# Usage: prefix_test.sh path/to/wine-run.sh
set -uo pipefail
runner=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for cmd in wine wineboot wineserver; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$cmd" "$work" >"$work/bin/$cmd"
  chmod +x "$work/bin/$cmd"
done
echo 'mkdir -p "$WINEPREFIX"' >>"$work/bin/wineboot"
export PATH="$work/bin:$PATH" DISPLAY=:0
arches=$( (WINEPREFIX="$work/probe" bash "$runner" x.exe >/dev/null 2>&1; cat "$work/probe/.wine-arches"))
[ -n "$arches" ] || { echo "FAIL: no stamp written"; exit 1; }

status=0
# name | what the prefix holds before | files kept afterwards | wineboot runs
while IFS='|' read -r name before kept boots; do
  prefix="$work/$name/wineprefix"
  mkdir -p "$prefix" && : >"$work/calls"
  for f in $before; do printf '%s' "${f#*=}" >"$prefix/${f%%=*}"; done
  [ "$before" = "" ] && rmdir "$prefix"
  sed -i "s/@ARCHES@/$arches/" "$prefix"/.wine-arches 2>/dev/null
  WINEPREFIX="$prefix" bash "$runner" game.exe arg >/dev/null 2>&1
  got_kept=$(for f in user.reg mine; do [ -e "$prefix/$f" ] && echo -n "$f "; done)
  got_boots=$(grep -c '^wineboot' "$work/calls")
  ran=$(grep -c '^wine game.exe arg$' "$work/calls")
  stamp=$(cat "$prefix/.wine-arches" 2>/dev/null)
  if [ "$got_kept" != "$kept" ] || [ "$got_boots" != "$boots" ] || [ "$ran" != 1 ] \
    || [ "$stamp" != "$arches" ]; then
    echo "FAIL $name: kept '$got_kept' (want '$kept'), wineboot $got_boots (want $boots)," \
      "program ran $ran, stamp '$stamp'"
    status=1
  fi
done <<'CASES'
fresh|||1
same set|.wine-arches=@ARCHES@ user.reg=x|user.reg |0
other set|.wine-arches=wine64 user.reg=x||1
older mark|.ready= user.reg=x||1
not ours|user.reg=x mine=x|user.reg mine |1
CASES
[ $status -eq 0 ] && echo "wine-run prefix: PASSED"
exit $status
