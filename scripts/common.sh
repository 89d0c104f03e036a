# Shared by scripts/run and scripts/test: the Debian packages the project needs, installed
# only when something is missing.
SOLVARI_PACKAGES="cmake g++ make pkg-config qt6-base-dev qt6-svg-dev qt6-translations-l10n \
fonts-ipafont fonts-urw-base35 xvfb xauth xdotool imagemagick poppler-utils libgtest-dev \
libbenchmark-dev clang libclang-rt-14-dev dpkg-dev desktop-file-utils appstream \
lintian man-db shared-mime-info libglib2.0-bin"

# The browser edition's build and tests (scripts/web_build).
SOLVARI_WEB_PACKAGES="cmake make emscripten node-acorn googletest chromium poppler-utils"

# Installs the packages named (default: SOLVARI_PACKAGES) that are missing.
solvari_install_packages() {
  local missing=()
  for p in ${*:-$SOLVARI_PACKAGES}; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

solvari_jobs() { nproc 2>/dev/null || echo 2; }
