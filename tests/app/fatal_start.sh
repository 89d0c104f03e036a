#!/usr/bin/env bash
# The real program started on a Question.leq it cannot read, or on a set named on the command
# line that it cannot read, must show its boxes and then end with status 1, not stay behind as
# a process without windows. Runs under Xvfb; Return answers each box.
# Usage: fatal_start.sh PATH_TO_SOLVARI
set -uo pipefail
program=$(realpath "$1")
failed=0

# run_case NAME PREPARATION [SET]: SET is named on the command line.
run_case() {
  local name=$1 work set=${3:-}
  work=$(mktemp -d)
  (cd "$work" && eval "$2") || { echo "$name: could not prepare"; failed=1; return; }
  local status
  status=$(cd "$work" && QT_QPA_PLATFORM=xcb timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" ${1:+"$1"} >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 120); do
      sleep 0.25
      kill -0 "$pid" 2>/dev/null || break
      xdotool key Return 2>/dev/null
    done
    if kill -0 "$pid" 2>/dev/null; then kill -9 "$pid"; echo hung; exit 0; fi
    wait "$pid"
    echo $?' "$program" "$set")
  rm -rf "$work"
  if [ "$status" = "1" ]; then
    echo "$name: ended with status 1"
  else
    echo "$name: FAILED (status: ${status:-none})"
    failed=1
  fi
}

run_case folder 'mkdir Question.leq'
run_case over_1mb 'head -c 1100000 /dev/zero | tr "\0" "a" > Question.leq'
run_case bad_bytes 'printf "<<a\r\n2x=6\x81\r\n>>\r\n" > Question.leq'
run_case fifo 'mkfifo Question.leq'
run_case named_set_missing 'true' 'なし.leq'
if [ "$(id -u)" != 0 ]; then
  run_case no_read_permission 'printf "<<a\r\n2x=6\r\n>>\r\n" > Question.leq && chmod 000 Question.leq'
fi
exit $failed
