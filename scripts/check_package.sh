#!/usr/bin/env bash
# Builds the .deb from a configured and built build folder (argument 1, default "build"),
# unpacks it into a scratch root and checks what a school's technician and a teacher would
# meet: the menu entry and metainfo validate, the icon lies where menus look, the installed
# checker answers --version and solves the installed question set, and the installed drill,
# started in a fresh home and a folder without a set, keeps running, says nothing on stderr
# and seeds the practice folder with the bundled set.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
version=$(sed -n 's/^project(Solvari VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
scratch=$(mktemp -d)
drill=""
cleanup() {
  [ -n "$drill" ] && kill "$drill" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "package check FAILED: $*" >&2; exit 1; }

rm -f "$build"/solvari_*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/solvari_*.deb)
echo "-- $(basename "$deb"): $(du -k "$deb" | cut -f1) kB"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6svg6 qt6-translations-l10n fonts-ipafont fonts-urw-base35; do
  [[ ",$depends," == *[\ ,]"$needed"[\ ,\(]* ]] || fail "Depends lacks $needed: $depends"
done
if grep -Eq -- '(^|[ ,])(cmake|make|g\+\+|gcc|clang|[a-z0-9.+-]+-dev)([ ,(]|$)' <<<"$depends"; then
  fail "Depends holds build tools: $depends"
fi

dpkg-deb -x "$deb" "$scratch/root"
usr="$scratch/root/usr"
desktop-file-validate "$usr/share/applications/org.nelvora.Solvari.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/org.nelvora.Solvari.metainfo.xml" >/dev/null ||
  fail "$(appstreamcli validate --no-net "$usr/share/metainfo/org.nelvora.Solvari.metainfo.xml")"
for f in icons/hicolor/scalable/apps/solvari.svg icons/hicolor/48x48/apps/solvari.png \
         icons/hicolor/256x256/apps/solvari.png solvari/Question.leq solvari/help/index.html; do
  [ -s "$usr/share/$f" ] || fail "missing share/$f"
done

[ "$("$usr/bin/solvari-check" --version)" = "solvari-check $version" ] || fail "solvari-check --version"
[ "$("$usr/bin/solvari" --version)" = "solvari $version" ] || fail "solvari --version"
"$usr/bin/solvari" --help | grep -q -- --version || fail "solvari --help"
"$usr/bin/solvari-check" --solve "$usr/share/solvari/Question.leq" >"$scratch/solve.txt" || fail "solvari-check --solve"
grep -q "【答】" "$scratch/solve.txt" || fail "solvari-check --solve printed no answer"
env -u DISPLAY "$usr/bin/solvari-check" --answer-key "$scratch/key.pdf" "$usr/share/solvari/Question.leq" >/dev/null ||
  fail "solvari-check --answer-key"
head -c 5 "$scratch/key.pdf" | grep -q "%PDF-" || fail "solvari-check --answer-key wrote no PDF"
set +e
"$usr/bin/solvari-check" --frobnicate >/dev/null 2>&1
code=$?
set -e
[ "$code" -eq 2 ] || fail "solvari-check with an unknown option exited $code, not 2"

mkdir -p "$scratch/home" "$scratch/work" "$scratch/runtime"
chmod 700 "$scratch/runtime"
(cd "$scratch/work" &&
  exec env -i PATH=/usr/bin:/bin HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" LANG=C.UTF-8 \
    QT_QPA_PLATFORM=offscreen "$usr/bin/solvari" >"$scratch/out.txt" 2>"$scratch/err.txt") &
drill=$!
sleep 3
kill -0 "$drill" 2>/dev/null || fail "the installed drill ended early: $(cat "$scratch/err.txt")"
# the offscreen platform plugin notes what it cannot do; anything else on stderr is ours
said=$(grep -v '^This plugin does not support' "$scratch/err.txt" || true)
[ -z "$said" ] || fail "the installed drill printed: $said"
cmp -s "$scratch/home/.local/share/solvari/Question.leq" "$root/data/Question.leq" ||
  fail "the practice folder did not receive the bundled set"
[ ! -e "$scratch/work/Question.leq" ] || fail "the drill wrote into its start folder"
kill "$drill"
wait "$drill" 2>/dev/null || true
drill=""
echo "-- installed package checked: menu entry, metainfo, icon, --version, --solve, first start"
