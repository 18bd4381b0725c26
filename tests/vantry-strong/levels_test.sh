#!/usr/bin/env bash
# The strong program's levels over its standard streams: a level replays alike from its
# seed, another seed plays otherwise, every history is answered even with a budget too short
# for the levels' searches, and bad option values are refused.
# Usage: levels_test.sh path/to/vantry-strong
set -uo pipefail
engine=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One game's sixty lines in a fixed random order, given as histories cut every fourth line,
# each with both colours: one of the two leaves the engine to move. A script from a file
# is read whole (nothing in it is dropped).
order=AFDAEBBABBAEADABDBBEEACBBBBBCAABDBEBBBEACABDDABABFEBDCACEBAAAEEBDEBCCAAAACDAADBECBFDAEDAFCBFCAFEBFABBAAAEBEDAABADEBCBBCEADCAEAAFBBDAABBADBBBDABEBBCADDBFBAECAFAACCBACABCBADBEAAACBCD
script=$work/script
: >"$script"
for ((k = 0; k < 60; k += 4)); do
  codes=${order:0:$((3 * k))}
  [ "$k" -eq 0 ] && codes=-
  printf 'history black %d %s\nhistory white %d %s\n' "$k" "$codes" "$k" "$codes" >>"$script"
done
echo quit >>"$script"
histories=30

# replies ARGS...: the program's reply lines (board pictures left out) to the script.
replies() {
  "$engine" "$@" <"$script" 2>"$work/err" | grep -v '^[*| ]'
}

check_answers() {
  local what=$1 text=$2
  local ok moves
  ok=$(grep -c '^history ok$' <<<"$text")
  moves=$(grep -cE '^move [0-9]+ ([AB][A-F][A-E])+$' <<<"$text")
  [ "$ok" -eq "$histories" ] || fail "$what: $ok of $histories histories accepted"
  # Each cut leaves the engine to move under exactly one of the two colours.
  [ "$moves" -eq $((histories / 2)) ] || fail "$what: $moves replies, wanted $((histories / 2))"
}

for level in 1 3 4; do
  first=$(replies --level "$level" --seed 7 --budget 5000)
  again=$(replies --level "$level" --seed 7 --budget 5000)
  check_answers "level $level" "$first"
  [ "$first" = "$again" ] || fail "level $level does not replay from its seed"
done
other=$(replies --level 1 --seed 8 --budget 5000)
[ "$other" != "$(replies --level 1 --seed 7 --budget 5000)" ] || fail "level 1 plays alike with another seed"

# A budget shorter than the levels' searches, and the full player with a hint's budget.
check_answers "level 4 with 1 ms" "$(replies --level 4 --budget 1)"
check_answers "level 5 with 100 ms" "$(replies --level 5 --budget 100)"

for args in "--level 0" "--level 6" "--level x" "--level" "--seed -1" "--budget 0"; do
  # shellcheck disable=SC2086
  "$engine" $args </dev/null >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -eq 2 ] || fail "'$args' exit status $status, wanted 2"
  grep -q "needs a number" "$work/err" || fail "'$args' says: $(cat "$work/err")"
done

[ "$failures" -eq 0 ] && echo "levels: all passed"
exit $((failures > 0))
