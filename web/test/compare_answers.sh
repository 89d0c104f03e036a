#!/usr/bin/env bash
# The bundled set's worked answers from the desktop checker and from the WebAssembly solver
# under node must be the same, line for line.
# Usage: compare_answers.sh DESKTOP_SOLVARI_CHECK WEB_SOLVE_JS QUESTION.leq
set -euo pipefail
desktop="$1" web="$2" set="$3"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$desktop" --solve "$set" >"$tmp/desktop.txt"
node "$web" "$set" >"$tmp/web.txt"
[ -s "$tmp/desktop.txt" ] || { echo "the desktop checker printed nothing"; exit 1; }
if ! diff -u "$tmp/desktop.txt" "$tmp/web.txt"; then
  echo "the browser edition solves the bundled set differently from the desktop"
  exit 1
fi
echo "$(grep -c '^問題' "$tmp/web.txt") questions: the same lines and answers as the desktop"
