#!/usr/bin/env bash
# Whole-process start-up of the drill until question 1 is painted, against two floors: a plain
# one (one window, one Japanese label) and a fair one (a label in each face the first page uses).
# Runs alternate program / fair floor / plain floor so machine load falls on all three alike;
# medians in tenths of a millisecond, ratios of the medians, and the resident set at the paint.
# Offscreen, then under Xvfb at 1280×1024 and 1920×1080 (when Xvfb is installed).
# Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:-build-release}
runs=${2:-21}
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$root/$build/bench/bench_startup"
work=$(mktemp -d)
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
cp "$root/data/Question.leq" "$work/"
cd "$work"
export XDG_RUNTIME_DIR="$work"

# One run: prints "<microseconds> <rss KiB>".
one() {
  local t0 t1 rss
  t0=$(date +%s%N)
  rss=$("$exe" "$@" 2>/dev/null) || { echo "run failed: $exe $*" >&2; exit 1; }
  t1=$(date +%s%N)
  echo "$(( (t1 - t0) / 1000 )) $rss"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
verdict() { awk -v v="$1" -v g="$2" 'BEGIN {print (v <= g) ? "met" : "NOT met"}'; }

# Prints the table rows for one display.
measure() {
  local label=$1 p=() f=() q=() pr=() qr=()
  "$exe" >/dev/null 2>&1; "$exe" --floor >/dev/null 2>&1; "$exe" --fair-floor >/dev/null 2>&1  # warm caches
  for _ in $(seq "$runs"); do
    read -r t r < <(one); p+=("$t"); pr+=("$r")
    read -r t _ < <(one --fair-floor); f+=("$t")
    read -r t r < <(one --floor); q+=("$t"); qr+=("$r")
  done
  local pm fm qm prss qrss
  pm=$(printf '%s\n' "${p[@]}" | median); fm=$(printf '%s\n' "${f[@]}" | median)
  qm=$(printf '%s\n' "${q[@]}" | median)
  prss=$(printf '%s\n' "${pr[@]}" | median); qrss=$(printf '%s\n' "${qr[@]}" | median)
  local fair plain extra
  fair=$(awk -v a="$pm" -v b="$fm" 'BEGIN {printf "%.2f", a / b}')
  plain=$(awk -v a="$pm" -v b="$qm" 'BEGIN {printf "%.2f", a / b}')
  extra=$(awk -v a="$prss" -v b="$qrss" 'BEGIN {printf "%.1f", (a - b) / 1024}')
  awk -v l="$label" -v a="$pm" -v b="$fm" -v c="$qm" 'BEGIN {printf "%s: question 1 painted %.1f ms, fair floor %.1f ms, plain floor %.1f ms (medians of '"$runs"' alternating runs)\n", l, a/1000, b/1000, c/1000}'
  printf '| %s: start ÷ fair floor | %s | ≤ 1.5 | %s |\n' "$label" "$fair" "$(verdict "$fair" 1.5)"
  printf '| %s: start ÷ plain floor | %s | ≤ 2.0 | %s |\n' "$label" "$plain" "$(verdict "$plain" 2.0)"
  printf '| %s: RSS at question 1 − plain floor | %s MiB (%.1f − %.1f) | ≤ 12 MiB | %s |\n' "$label" "$extra" \
    "$(awk -v a="$prss" 'BEGIN {print a / 1024}')" "$(awk -v a="$qrss" 'BEGIN {print a / 1024}')" "$(verdict "$extra" 12)"
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
results=()
results+=("$(QT_QPA_PLATFORM=offscreen measure offscreen)")
if command -v Xvfb >/dev/null; then
  for size in 1280x1024 1920x1080; do
    display=":$(( 90 + RANDOM % 400 ))"
    Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    results+=("$(DISPLAY=$display QT_QPA_PLATFORM=xcb measure "Xvfb $size")")
    kill "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null || true; xvfb_pid=""
  done
else
  echo "Xvfb not installed: only offscreen measured"
fi
printf '%s\n' "${results[@]}" | grep -v '^|'
echo
echo "| figure | measured | goal | |"
echo "|---|---|---|---|"
printf '%s\n' "${results[@]}" | grep '^|'
