#!/usr/bin/env bash
# What a teacher or a technician meets on the command line, for a built or an installed pair of
# programs: both --help texts are Japanese through and through (no English line left by Qt's
# parser); the drill without a display says why and ends with status 1 instead of Qt's abort;
# a question set named on the command line that is missing or no file is refused with a
# Japanese message and status 1; and none of these touches the home folder.
# Usage: command_line.sh PATH_TO_SOLVARI PATH_TO_SOLVARI_CHECK
set -uo pipefail
drill=$(realpath "$1")
checker=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# Lines of printable ASCII that still hold a word once options, file names, paths, the
# programs' names and upper-case placeholders (FILE, FOLDER) are taken out: English prose.
english_lines() {
  LC_ALL=C grep -v '[^ -~]' |
    sed -E 's/[][|()]/ /g; s/(^|[[:space:]])-[^[:space:]]*/ /g; s/[^[:space:]]*[./][^[:space:]]*/ /g' |
    sed -E 's/(^|[[:space:]])solvari(-check)?([[:space:]:]|$)/ /g; s/(^|[[:space:]])[A-Z][A-Z0-9_]*([[:space:]]|$)/ /g' |
    grep -E '[A-Za-z]{2,}'
}
for program in "$drill" "$checker"; do
  name=$(basename "$program")
  if ! help=$("$program" --help 2>&1); then fail "$name --help exited non-zero"; continue; fi
  [ -n "$help" ] || fail "$name --help printed nothing"
  if english=$(english_lines <<<"$help"); then fail "$name --help has English lines: $english"; fi
done
# the check itself must see Qt's English help lines
if ! english_lines <<<$'Usage: solvari [options]\n  -h, --help  Displays help on commandline options.' >/dev/null; then
  fail "the English-line check finds nothing in Qt's own help text"
fi

# The drill in a fresh home without a display; $1 names the case, the rest is the command.
mkdir -p "$scratch/work" "$scratch/runtime"
chmod 700 "$scratch/runtime"
headless() {
  local home="$scratch/home-$1"
  shift
  mkdir -p "$home"
  (cd "$scratch/work" &&
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_RUNTIME_DIR="$scratch/runtime" \
      LANG=C.UTF-8 timeout 20 "$@" >"$scratch/out" 2>"$scratch/err")
  status=$?
  said=$(cat "$scratch/err")
  [ -z "$(ls -A "$home")" ] || fail "$*: wrote into the home folder: $(find "$home" | head -5)"
}
headless plain "$drill"
[ "$status" = 1 ] || fail "solvari without a display exited $status, not 1: $said"
[[ "$said" == *"画面に接続できない"* ]] || fail "solvari without a display said: $said"
headless xcb env QT_QPA_PLATFORM=xcb "$drill"
[ "$status" = 1 ] || fail "solvari on xcb without DISPLAY exited $status, not 1: $said"
[[ "$said" == *"DISPLAY が設定されていません"* ]] || fail "solvari on xcb without DISPLAY said: $said"

headless missing "$drill" "$scratch/なし.leq"
[ "$status" = 1 ] || fail "solvari on a missing set exited $status, not 1: $said"
[[ "$said" == *"問題集を開けません: $scratch/なし.leq"*"ファイルがありません"* ]] || fail "solvari on a missing set said: $said"
mkdir "$scratch/folder.leq"
headless folder "$drill" "$scratch/folder.leq"
[ "$status" = 1 ] || fail "solvari on a folder exited $status, not 1: $said"
[[ "$said" == *"ファイルではありません"* ]] || fail "solvari on a folder said: $said"

if [ "$failed" = 0 ]; then
  echo "command line: Japanese help, no display and a missing set answered without touching home"
fi
exit $failed
