#!/usr/bin/env bash
# Every test of the browser edition on a built build-web/ (scripts/web_build): the desktop's
# table tests and the drill's own under node, the bundled set's answers against the desktop
# checker (when build/ holds one), and the page driven in headless chromium; the exported record
# is read by build/app/solvari-check too when there is one (or SOLVARI_CHECKER).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
(cd build-web && ctest --output-on-failure)
if [ ! -x build/app/solvari-check ]; then
  echo "(no desktop build in build/: the bundled answers were not compared with the desktop checker)"
fi
if [ ! -x "${SOLVARI_CHROMIUM:-/usr/bin/chromium}" ]; then
  echo "no chromium: the page was not tested in a browser"
  exit 1
fi
(cd web && node test/browser_test.mjs "$root/build-web/site")
# offline, the record kept and handed in, the teacher's sets, printing (pdfinfo, pdftotext and
# pdfimages from poppler-utils)
(cd web && node test/classroom_test.mjs "$root/build-web/site")
