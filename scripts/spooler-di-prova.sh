# Sourced by the test commands (with $radice the repository): starts the
# private CUPS spooler of scripts/cups-test-server.sh in a temporary folder,
# stops it when the sourcing shell exits, and exports CUPS_SERVER and
# VORPLA_CUPS_TEST=1 for the tests. Nothing is started when those already
# name one (the sanitizer pass run from scripts/test.sh shares its spooler).
if [ "${VORPLA_CUPS_TEST:-}" != 1 ] || [ -z "${CUPS_SERVER:-}" ]; then
  cartella_cups=$(mktemp -d "${TMPDIR:-/tmp}/vorpla-cups.XXXXXX")
  ferma_cups() {
    "$radice/scripts/cups-test-server.sh" stop "$cartella_cups" || true
    rm -rf "$cartella_cups"
  }
  trap ferma_cups EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  avvio=$("$radice/scripts/cups-test-server.sh" start "$cartella_cups")
  export CUPS_SERVER=${avvio#export CUPS_SERVER=}
  export VORPLA_CUPS_TEST=1
fi
