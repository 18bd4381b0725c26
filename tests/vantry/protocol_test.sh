#!/usr/bin/env bash
# The engine program over pipes, as the platform drives it: one command, then wait for
# the whole reply before the next. Usage: protocol_test.sh path/to/vantry
set -uo pipefail
engine=$1
failures=0
BOARD=21

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Our own copies of the coprocess's descriptors: bash closes its own as soon as the
# program ends, which can be before its last reply has been read.
start() {
  [ -n "${OUT:-}" ] && eval "exec $OUT<&-"
  coproc ENGINE { "$engine"; }
  PID=$ENGINE_PID
  exec {IN}>&"${ENGINE[1]}" {OUT}<&"${ENGINE[0]}"
  eval "exec ${ENGINE[1]}>&- ${ENGINE[0]}<&-"
}

# send WORDS N: sends one command and reads exactly N lines of reply into REPLY_LINES.
send() {
  local cmd=$1 n=$2 line
  REPLY_LINES=()
  printf '%s\n' "$cmd" >&"$IN"
  for ((i = 0; i < n; i++)); do
    if ! IFS= read -r -t 30 line <&"$OUT"; then
      fail "'$cmd': only ${#REPLY_LINES[@]} of $n lines"
      return 1
    fi
    REPLY_LINES+=("$line")
  done
}

# Nothing more arrives within a moment (for commands that answer nothing).
silent() {
  local line
  if IFS= read -r -t 0.5 line <&"$OUT"; then fail "$1: unexpected output '$line'"; fi
}

# finish STATUS: closes the input (or not) and checks the exit status.
finish() {
  local want=$1
  eval "exec $IN>&-"
  wait "$PID"
  local got=$?
  [ "$got" -eq "$want" ] || fail "exit status $got, wanted $want"
}

is_code() { [[ $1 =~ ^(A[A-F][A-E]|B[A-F][A-E])$ ]]; }

# name?, the silent commands, unknown and over-long words, quit.
start
send "name?" 1 && [ "${REPLY_LINES[0]}" = "name xxxx" ] || fail "name? -> '${REPLY_LINES[0]:-}'"
for w in error end hello "$(printf 'x%.0s' {1..400})"; do
  printf '%s\n' "$w" >&"$IN"
  silent "${w:0:10}"
done
send "name?" 1 && [ "${REPLY_LINES[0]}" = "name xxxx" ] || fail "name? after silent words"
send "quit" 1 && [ "${REPLY_LINES[0]}" = "Quit!" ] || fail "quit -> '${REPLY_LINES[0]:-}'"
finish 0

# new black: the engine opens with one inner line; then the opponent's lines and a reply.
start
if send "new black" $((1 + BOARD)); then
  first=${REPLY_LINES[0]}
  [[ $first =~ ^move\ 1\ (...)$ ]] && is_code "${BASH_REMATCH[1]}" || fail "new black -> '$first'"
fi
send "new white" $BOARD || true
[[ ${REPLY_LINES[0]} == "*    *    *    *    *    *" ]] || fail "new white board"
if send "move 2 BCAACA" $((BOARD + 2 + BOARD)); then
  [ "${REPLY_LINES[21]}" = "round1=4" ] || fail "move 2 BCAACA -> '${REPLY_LINES[21]}'"
  [[ ${REPLY_LINES[22]} =~ ^move\ 1\ (...)$ ]] && is_code "${BASH_REMATCH[1]}" \
    || fail "reply '${REPLY_LINES[22]}'"
  [[ ${REPLY_LINES[1]} == "          |               " ]] || fail "BCA not on the board"
  [[ ${REPLY_LINES[8]} == "*----*    *    *    *    *" ]] || fail "ACA not on the board"
fi
# End of input ends the program with status 0.
finish 0

# The 60th line ends the program after the board, without a reply.
codes=""
for a in A B C D E F; do for b in A B C D E; do codes+="A$a$b"; done; done
for a in A B C D E F; do for b in A B C D E; do codes+="B$a$b"; done; done
start
send "new white" $BOARD || true
send "move 60 $codes" $BOARD || true
[[ ${REPLY_LINES[0]} == "*----*----*----*----*----*" ]] || fail "full board"
[[ ${REPLY_LINES[2]} == "|  H |  H |  H |  H |  H |" ]] || fail "boxes of the opponent"
silent "after the 60th line"
wait "$PID"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status after the 60th line"

[ "$failures" -eq 0 ] && echo "protocol: all passed"
exit $((failures > 0))
