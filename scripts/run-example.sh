#!/usr/bin/env bash
# The main job on the example print file: installs what is needed, builds,
# and starts Vorpla as Ulka does, with the example program folder
# (examples/programma, holding its vorpla.ini). The example is a hidden job
# ("@HIDE"): Vorpla prints it at once on the default printer and ends, with or
# without a display.
#
# On a machine with no default printer (or no CUPS scheduler running) it first
# starts a private CUPS spooler (scripts/cups-test-server.sh start-pdf, in a
# temporary folder, as the calling user) whose only queue, Vorpla_PDF, writes
# every print job as a PDF file into examples/stampe/; the machine's own CUPS
# set-up is not touched. That spooler is stopped once its jobs are done.
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$PWD
scripts/install-deps.sh
scripts/build.sh

# Ulka writes a fresh print file for every document, in the temporary folder
# beside the program folder; Vorpla deletes it when the job is printed.
mkdir -p examples/temp
cp examples/fattura.txt examples/temp/fattura.txt

cartella_cups=
ferma_cups() {
  if [ -n "$cartella_cups" ]; then
    "$radice/scripts/cups-test-server.sh" stop "$cartella_cups" || true
    rm -rf "$cartella_cups"
  fi
}
trap ferma_cups EXIT

predefinita=$(lpstat -d 2>/dev/null || true)
if [[ "$predefinita" == *"default destination: "* ]]; then
  echo "run-example: printing on the default printer, ${predefinita##*: }"
else
  stampe=$radice/examples/stampe
  cartella_cups=$(mktemp -d "${TMPDIR:-/tmp}/vorpla-example-cups.XXXXXX")
  avvio=$("$radice/scripts/cups-test-server.sh" start-pdf "$cartella_cups" "$stampe")
  eval "$avvio"
  export CUPS_SERVER
  unset LPDEST PRINTER
  echo "run-example: this machine has no default printer; printing on Vorpla_PDF, a local CUPS queue"
  echo "run-example: that writes every print job as a PDF file into $stampe/"
fi

stato=0
VORPLA_HOME="$radice/examples/programma" build/src/app/vorpla "$radice/examples/temp/fattura.txt" || stato=$?

if [ -n "$cartella_cups" ]; then
  # Wait for the spooler to finish the jobs (at most a minute), then show them.
  for _ in $(seq 1 600); do
    [ -z "$(lpstat -o 2>/dev/null)" ] && break
    sleep 0.1
  done
  echo "run-example: PDF files printed so far into $stampe/:"
  ls -1 "$stampe" | sed 's/^/  /'
fi
exit "$stato"
