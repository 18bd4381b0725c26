#!/bin/bash
# vantry-bench --strong --middle keeps its answers in a file, one position a line: a later
# run reads them instead of solving again, judges by the lines they list, resumes a file
# that stops short, and refuses a file of other positions.
set -u
bench=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file=$dir/answers.txt
fail() { echo "FAIL: $*"; exit 1; }
middle() { "$bench" --strong --middle 2 --budget 30 --long 1 --seed 3 --answers "$file" "$@"; }

# Nothing solves in 1 ms: each record is the position's codes alone.
out=$(middle) || fail "first run: status $?"
[ "$(grep -c '^offline' <<<"$out")" -eq 2 ] || fail "first run solved $(grep -c '^offline' <<<"$out") positions"
[ "$(wc -l <"$file")" -eq 2 ] || fail "$(wc -l <"$file") records written"
grep -q "in 0 of 0 judged" <<<"$out" || fail "unsolved positions were judged: $out"

# Answers that list every line as best: both first lines are optimal.
all=$(printf '%s' {A,B}{A,B,C,D,E,F}{A,B,C,D,E})
sed "s/\$/ value 1 best $all/" "$file" >"$dir/new.txt"
cp "$dir/new.txt" "$file"
out=$(middle) || fail "reading run: status $?"
grep -q '^offline' <<<"$out" && fail "solved again although answers were there"
grep -q "in 2 of 2 judged" <<<"$out" || fail "not judged by the file's lines: $out"

# A file that stops after one record is completed, the record read kept as it was.
head -1 "$dir/new.txt" >"$file"
out=$(middle) || fail "resuming run: status $?"
[ "$(grep -c '^offline' <<<"$out")" -eq 1 ] || fail "resuming solved $(grep -c '^offline' <<<"$out")"
[ "$(wc -l <"$file")" -eq 2 ] || fail "$(wc -l <"$file") records after resuming"
[ "$(head -1 "$file")" = "$(head -1 "$dir/new.txt")" ] || fail "the first record changed"

# Other positions (another seed) are refused.
"$bench" --strong --middle 2 --budget 30 --long 1 --seed 4 --answers "$file" >/dev/null 2>&1
[ $? -eq 2 ] || fail "a file of other positions was not refused"
echo "PASS"
