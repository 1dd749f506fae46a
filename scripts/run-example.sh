#!/usr/bin/env bash
# The main job on the example print file: installs what is needed, builds,
# and starts Vorpla as Ulka does, with the example program folder
# (examples/programma, holding its vorpla.ini). With a display the main window
# opens on the job; without one the job runs headless and says what it did.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
# Ulka writes a fresh print file for every document: work on a copy.
mkdir -p examples/temp
cp examples/fattura.txt examples/temp/fattura.txt
VORPLA_HOME="$PWD/examples/programma" exec build/src/app/vorpla "$PWD/examples/temp/fattura.txt"
