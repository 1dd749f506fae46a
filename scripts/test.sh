#!/usr/bin/env bash
# The test command: installs what is needed, builds, runs every test headless.
# The tests print through a private CUPS spooler (scripts/cups-test-server.sh)
# started here in a temporary folder and stopped on exit; CUPS_SERVER points
# the program at it and VORPLA_CUPS_TEST=1 tells the tests it is there. They
# mail through a real SMTP server on 127.0.0.1 (scripts/posta-di-prova.sh),
# and hand jobs to the terminal-server client on a real X server (Xvfb,
# scripts/schermo-di-prova.sh).
# Once they pass, scripts/test-sanitizers.sh runs them all again, on the same
# spooler, built with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/; any sanitizer report fails the command.
#   VORPLA_SANITIZE=0 scripts/test.sh   the normal pass only (quick local runs)
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$(pwd)
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# The tests choose their printers themselves.
unset LPDEST PRINTER

. "$radice/scripts/spooler-di-prova.sh"
. "$radice/scripts/posta-di-prova.sh"
. "$radice/scripts/schermo-di-prova.sh"

(cd build && ctest --output-on-failure -j "$(nproc)" --timeout 300)

if [ "${VORPLA_SANITIZE:-1}" = 0 ]; then
  echo "Sanitizer pass skipped (VORPLA_SANITIZE=0)."
  exit 0
fi
"$radice/scripts/test-sanitizers.sh"
