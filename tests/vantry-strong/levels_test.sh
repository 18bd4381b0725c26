#!/usr/bin/env bash
# The strong program's levels over its standard streams: a level replays from its seed,
# another seed plays otherwise, a budget too short for the levels' searches still gets
# answers, bad option values are refused. Usage: levels_test.sh path/to/vantry-strong
set -uo pipefail
engine=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
script=$(mktemp)
trap 'rm -f "$script"' EXIT

# One game's lines in a fixed random order, cut every fourth line, each cut given with both
# colours: one of the two leaves the engine to move. A script in a file is read whole.
order=AFDAEBBABBAEADABDBBEEACBBBBBCAABDBEBBBEACABDDABABFEBDCACEBAAAEEBDEBCCAAAACDAADBECBFDAEDAFCBFCAFEBFABBAAAEBEDAABADEBCBBCEADCAEAAFBBDAABBADBBBDABEBBCADDBFBAECAFAACCBACABCBADBEAAACBCD
for ((k = 0; k < 60; k += 4)); do
  codes=${order:0:$((3 * k))}
  printf 'history black %d %s\nhistory white %d %s\n' $k "${codes:--}" $k "${codes:--}"
done >"$script"

# run ARGS...: OUT, the reply lines to the script (board pictures left out), which must
# accept the 30 histories and reply 15 times in legal form.
run() {
  OUT=$("$engine" "$@" <"$script" 2>/dev/null | grep -v '^[*| ]')
  [ "$(grep -c '^history ok$' <<<"$OUT")" -eq 30 ] &&
    [ "$(grep -cE '^move [0-9]+ ([AB][A-F][A-E])+$' <<<"$OUT")" -eq 15 ] || fail "$*: $OUT"
}

for level in 1 3 4; do
  run --level $level --seed 7 && first=$OUT
  run --level $level --seed 7 && [ "$first" = "$OUT" ] || fail "level $level does not replay"
done
run --level 1 --seed 8 && other=$OUT
run --level 1 --seed 7 && [ "$other" != "$OUT" ] || fail "seeds 7 and 8 play alike"
run --level 4 --budget 1
run --level 5 --budget 100

for args in "--level 0" "--level 6" "--level x" "--level" "--seed -1" "--budget 0"; do
  # shellcheck disable=SC2086
  message=$("$engine" $args 2>&1 </dev/null)
  [ $? -eq 2 ] && [[ $message == *"needs a number"* ]] || fail "'$args': $message"
done

[ "$failures" -eq 0 ] && echo "levels: all passed"
exit $((failures > 0))
