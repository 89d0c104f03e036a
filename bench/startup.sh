#!/usr/bin/env bash
# Median wall time of whole processes: the drill's start-up until question 1 is drawn, and the
# floor (an empty window with one Japanese label). Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:-build-release}
runs=${2:-15}
root="$(cd "$(dirname "$0")/.." && pwd)"
work=$(mktemp -d)
cp "$root/data/Question.leq" "$work/"
cd "$work"
export QT_QPA_PLATFORM=offscreen
measure() {
  local times=()
  for _ in $(seq "$runs"); do
    local t0 t1
    t0=$(date +%s%N)
    "$root/$build/bench/bench_startup" "$@" >/dev/null 2>&1 || { echo "run failed" >&2; exit 1; }
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}
start=$(measure)
floor=$(measure --floor)
echo "start-up to question 1: ${start} ms (median of $runs)"
echo "floor (one window, one label): ${floor} ms (median of $runs)"
awk -v s="$start" -v f="$floor" 'BEGIN {printf "ratio: %.2f\n", s / f}'
rm -rf "$work"
