#!/usr/bin/env bash
# Installs every Debian package Vorpla needs to build, run and test.
#   scripts/install-deps.sh          what building, running and testing need
#   scripts/install-deps.sh --fuzz   that and clang, for scripts/fuzz.sh
# Idempotent: when everything is already there it prints nothing and exits 0.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  # Qt 6: widgets, printing, offscreen platform plugin
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  # platform services
  libcups2-dev libgs-dev libzip-dev libcurl4-openssl-dev libgmime-3.0-dev libqpdf-dev
  # tests and run-time tools
  libgtest-dev googletest
  cups cups-client cups-bsd cups-filters printer-driver-cups-pdf
  ghostscript poppler-utils qpdf zip unzip xdg-utils time
  # the Italian locale's sources, which the number tests build with localedef
  locales
  fonts-liberation fonts-dejavu-core
  # mail: a local SMTP server for the tests, the sendmail interface
  python3-aiosmtpd msmtp-mta
  # terminal-server hand-over: a real X server and X clipboard client for the tests
  xvfb xclip
  # the windows' tests: a real window manager on that X server, and the X
  # tools that read back where it put them, and a pointer that clicks
  openbox x11-utils xdotool
  # Qt's own Italian texts for the standard dialogs and buttons
  qt6-translations-l10n
)

# The fuzzer's compiler only where it is asked for: the test command does
# not need it, and it is one of the largest downloads.
if [ "${1:-}" = --fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
