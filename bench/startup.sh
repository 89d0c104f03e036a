#!/usr/bin/env bash
# Whole-process start-up of the drill until question 1 is painted, against two floors: a plain
# one (one window, one Japanese label) and a fair one (a label in each face the first page uses).
# Runs alternate program / fair floor / plain floor so machine load falls on all three alike;
# each run is timed by the harness program from its spawn to its paint; medians, medians of the
# paired ratios, and the resident set at the paint.
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

verdict() { awk -v v="$1" -v g="$2" 'BEGIN {print (v <= g) ? "met" : "NOT met"}'; }

# Prints the table rows for one display. The program times its own runs (bench_startup --series):
# each from just before its spawn to its paint, with rounds of the three alternating and the
# ratios taken round by round.
measure() {
  local label=$1 pm fm qm fair plain prss qrss extra
  read -r pm fm qm fair plain prss qrss < <("$exe" --series "$runs" 2>/dev/null) || { echo "runs failed" >&2; exit 1; }
  extra=$(awk -v a="$prss" -v b="$qrss" 'BEGIN {printf "%.1f", (a - b) / 1024}')
  fair=$(awk -v a="$fair" 'BEGIN {printf "%.2f", a}')
  plain=$(awk -v a="$plain" 'BEGIN {printf "%.2f", a}')
  echo "$label: question 1 painted $pm ms, fair floor $fm ms, plain floor $qm ms (medians of $runs rounds)"
  printf '| %s: start ÷ fair floor (median of paired runs) | %s | ≤ 1.5 | %s |\n' "$label" "$fair" "$(verdict "$fair" 1.5)"
  printf '| %s: start ÷ plain floor (median of paired runs) | %s | ≤ 2.0 | %s |\n' "$label" "$plain" "$(verdict "$plain" 2.0)"
  printf '| %s: RSS at question 1 − plain floor | %s MiB (%.1f − %.1f) | ≤ 12 MiB | %s |\n' "$label" "$extra" \
    "$(awk -v a="$prss" 'BEGIN {print a / 1024}')" "$(awk -v a="$qrss" 'BEGIN {print a / 1024}')" "$(verdict "$extra" 12)"
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
results=()
results+=("$(QT_QPA_PLATFORM=offscreen measure offscreen)")
if command -v Xvfb >/dev/null; then
  for size in 1280x1024 1920x1080; do
    # Xvfb picks a free display itself and names it once it is ready: never someone else's.
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 10 number <&"$fd" || { echo "Xvfb did not start" >&2; exit 1; }
    exec {fd}<&-
    display=":$number"
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
