#!/usr/bin/env bash
# Builds the .deb from a configured and built build folder (argument 1, default "build",
# configured with -DSOLVARI_DISTRO_FLAGS=ON), unpacks it into a scratch root and checks what a
# school's technician and a teacher would meet: lintian finds no error or warning and the
# binaries are hardened; the menu entry and metainfo validate, the icon lies where menus look;
# the manual pages say what --help says and the changelog names this version; *.leq files are
# a type of their own that the file manager opens with the drill's menu entry; the installed
# programs pass the command-line checks (tests/app/command_line.sh); the checker answers
# --version and solves the installed question set; and the installed drill, started in a fresh
# home and a folder without a set, keeps running, says nothing on stderr and seeds the practice
# folder with the bundled set.
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

# Errors and warnings fail; of the notes, only a binary without the distribution's hardening.
lintian -I --tag-display-limit 0 --fail-on error,warning "$deb" >"$scratch/lintian.txt" 2>"$scratch/lintian.err" ||
  fail "lintian: $(cat "$scratch/lintian.txt" "$scratch/lintian.err")"
if grep -E '^[EW]: |hardening-no-' "$scratch/lintian.txt"; then
  fail "lintian (build with -DSOLVARI_DISTRO_FLAGS=ON for the hardening flags)"
fi
echo "-- lintian: no error or warning, hardened"

dpkg-deb -x "$deb" "$scratch/root"
usr="$scratch/root/usr"
doc="$usr/share/doc/solvari"
[ -s "$doc/copyright" ] || fail "missing share/doc/solvari/copyright"
[ "$(dpkg-parsechangelog -l "$doc/changelog.gz" -S Version)" = "$version" ] ||
  fail "the changelog's latest entry is not $version: bump data/package/changelog"

# Each manual page holds its program's --help text, line for line.
for program in solvari solvari-check; do
  page="$usr/share/man/man1/$program.1.gz"
  [ -s "$page" ] || fail "missing share/man/man1/$program.1.gz"
  shown=$(MANWIDTH=200 MAN_KEEP_FORMATTING= man -E UTF-8 -l "$page" 2>&1 | sed -n '/^説明$/,/^関連項目$/p' | sed '1d;$d;s/^       //')
  [ "$shown" = "$("$usr/bin/$program" --help)" ] ||
    fail "the manual page of $program differs from its --help: $(diff <(echo "$shown") <("$usr/bin/$program" --help))"
done

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

"$root/tests/app/command_line.sh" "$usr/bin/solvari" "$usr/bin/solvari-check" || fail "the command-line checks"

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

# A double click in the file manager: GIO (what GNOME's, Xfce's and Cinnamon's file managers
# use) takes a .LEQ in any letter case for the type of the installed MIME package, finds the
# drill's menu entry for it and starts the drill on the file, which lies in no class folder:
# the drill works in a practice folder of its own, seeded once.
# (what the triggers of shared-mime-info and desktop-file-utils do when the package is installed)
mime_err=$(XDG_DATA_DIRS="$usr/share" update-mime-database "$usr/share/mime" 2>&1) || fail "update-mime-database: $mime_err"
[ -z "$mime_err" ] || fail "update-mime-database: $mime_err"
grep -qx 'application/x-solvari-leq:\*\.leq' "$usr/share/mime/globs" || fail "*.leq is not in the MIME database"
update-desktop-database "$usr/share/applications" || fail "update-desktop-database"
mkdir -p "$scratch/fm-home" "$scratch/sets"
cp "$usr/share/solvari/Question.leq" "$scratch/sets/1学期.LEQ"
desktop=(env -i PATH="$usr/bin:/usr/bin:/bin" HOME="$scratch/fm-home" XDG_RUNTIME_DIR="$scratch/runtime" LANG=C.UTF-8
         XDG_DATA_DIRS="$usr/share:/usr/share" QT_QPA_PLATFORM=offscreen)
type=$("${desktop[@]}" gio info -a standard::content-type "$scratch/sets/1学期.LEQ" | sed -n 's/^ *standard::content-type: //p')
[ "$type" = application/x-solvari-leq ] || fail "the file manager takes a .LEQ for ${type:-nothing}"
"${desktop[@]}" gio open "$scratch/sets/1学期.LEQ" >"$scratch/open.txt" 2>&1 || fail "gio open: $(cat "$scratch/open.txt")"
for _ in $(seq 50); do
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$usr/bin/solvari" ] && drill=${p#/proc/} && break
  done
  [ -n "$drill" ] && [ -s "$scratch/fm-home/.local/share/solvari/Question.leq" ] && break
  sleep 0.2
done
[ -n "$drill" ] || fail "opening a .LEQ did not start the drill: $(cat "$scratch/open.txt")"
tr '\0' '\n' <"/proc/$drill/cmdline" | grep -qx "$scratch/sets/1学期.LEQ" || fail "the drill was not given the file"
sleep 1
kill -0 "$drill" 2>/dev/null || fail "the drill opened from the file manager ended early"
[ -s "$scratch/fm-home/.local/share/solvari/Question.leq" ] || fail "the drill on a .LEQ prepared no practice folder"
kill "$drill"
drill=""
echo "-- installed package checked: lintian, manual pages, menu entry, metainfo, icon, MIME type,"
echo "   opening a .LEQ, command line, --version, --solve, first start"
