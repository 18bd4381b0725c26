#!/usr/bin/env bash
# The Windows program under Wine: it answers "name?", opens a game after "new black", and
# takes a game given whole by "history" (or refuses it).
# One command, then wait for the reply ("new" drops whatever else has arrived).
# Usage: wine_smoke_test.sh path/to/wine-run.sh path/to/Vantry.exe
set -uo pipefail
runner=$1
exe=$2

coproc ENGINE { bash "$runner" "$exe"; }
# Our own copies of the descriptors: bash closes its own once the program ends.
PID=$ENGINE_PID
exec {IN}>&"${ENGINE[1]}" {OUT}<&"${ENGINE[0]}"
eval "exec ${ENGINE[1]}>&- ${ENGINE[0]}<&-"

# Reads one line (without the Windows line end); the first start of a prefix is slow.
next_line() { IFS= read -r -t 300 LINE <&"$OUT" && LINE=${LINE%$'\r'}; }

status=0
printf 'name?\n' >&"$IN"
if next_line && [ "$LINE" = "name xxxx" ]; then echo "name? -> $LINE"; else
  echo "FAIL: name? -> '${LINE:-}'"; status=1
fi

printf 'new black\n' >&"$IN"
if next_line && [[ $LINE =~ ^move\ 1\ [AB][A-F][A-E]$ ]]; then echo "new black -> $LINE"; else
  echo "FAIL: new black -> '${LINE:-}'"; status=1
fi
board=0
while [ $board -lt 21 ] && next_line; do board=$((board + 1)); done
[ $board -eq 21 ] || { echo "FAIL: board after new black has $board lines"; status=1; }

# A game given whole: the engine's box (0, 0), its turn again; then one it must refuse.
printf 'history white 4 AAAABABAABBA\n' >&"$IN"
next_line && [ "$LINE" = "history ok" ] && next_line && [[ $LINE =~ ^round1=[0-9]+$ ]] &&
  next_line && [[ $LINE =~ ^move\ [0-9]+\ ([AB][A-F][A-E])+$ ]] || { echo "FAIL: history -> '${LINE:-}'"; status=1; }
for ((board = 1; board <= 21; board++)); do next_line && [ $board -eq 3 ] && boxes=$LINE; done
[[ ${boxes:-} == "|  c |"* ]] || { echo "FAIL: the engine's box after the history: '${boxes:-}'"; status=1; }
printf 'history black 2 AAAAAA\n' >&"$IN"
next_line && [ "$LINE" = "history refused" ] || { echo "FAIL: bad history -> '${LINE:-}'"; status=1; }

printf 'quit\n' >&"$IN"
if next_line && [ "$LINE" = "Quit!" ]; then :; else echo "FAIL: quit -> '${LINE:-}'"; status=1; fi
eval "exec $IN>&-"
wait "$PID" || { echo "FAIL: exit status $?"; status=1; }
exit $status
