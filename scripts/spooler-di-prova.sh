# Sourced by the test commands (with $radice the repository): starts the
# private CUPS spooler of scripts/cups-test-server.sh in a temporary folder,
# stops it when the sourcing shell exits, and exports CUPS_SERVER and
# VORPLA_CUPS_TEST=1 for the tests, CUPS_SERVERBIN (its programs, where a
# backend can be installed) and VORPLA_SPOOL_PDF (PDFCreator's spool folder).
# Nothing is started when those already name one (the sanitizer pass run from scripts/test.sh shares its spooler).
if [ "${VORPLA_CUPS_TEST:-}" != 1 ] || [ -z "${CUPS_SERVER:-}" ]; then
  cartella_cups=$(mktemp -d "${TMPDIR:-/tmp}/vorpla-cups.XXXXXX")
  ferma_cups() {
    "$radice/scripts/cups-test-server.sh" stop "$cartella_cups" || true
    rm -rf "$cartella_cups"
  }
  trap ferma_cups EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  avvio=$("$radice/scripts/cups-test-server.sh" start "$cartella_cups" "$radice/build/pdfprinter")
  eval "$avvio"
  export CUPS_SERVER CUPS_SERVERBIN
  # The spool folder of the PDF printer PDFCreator, which the tests share.
  export VORPLA_SPOOL_PDF=$cartella_cups/spool-pdf
  export VORPLA_CUPS_TEST=1
fi
