#!/usr/bin/env bash
# A private CUPS spooler with printers that print into files: the tests'
# spooler, and the PDF printer of the example run on a machine without
# printers.
#
#   cups-test-server.sh start DIR [PDFPRINTER]
#                                          starts it and prints "export CUPS_SERVER=..."
#                                          and "export CUPS_SERVERBIN=..."; with
#                                          PDFPRINTER (the build's pdfprinter folder:
#                                          the backend vorpla-spool and its installer)
#                                          the queue PDFCreator is installed by that
#                                          installer, as an administrator does it
#   cups-test-server.sh start-pdf DIR OUT  starts one with the single, default queue
#                                          Vorpla_PDF, which writes every job as its
#                                          own PDF file into the folder OUT
#                                          (NNNNN-TITLE.pdf, NNNNN the job number)
#   cups-test-server.sh stop DIR           stops the one started in DIR
#
# Everything it uses lives under DIR: configuration, printers.conf and PPDs
# (etc/), spool and temporary files (spool/), cache, state, logs (log/), its
# pid file (cupsd.pid) and the only place it listens on, the unix socket
# DIR/cups.sock. It never reads /etc/cups nor talks to a system cupsd; only
# the programs and data shipped with CUPS (/usr/lib/cups, /usr/share/cups,
# /usr/share/ppd) are shared. Nothing is browsed or shared on the network.
#
# Queues (all enabled and accepting; every job ends up in DIR/out/):
#   Office          default; a plain PDF printer (DIR/etc/vorpla-pdf.ppd, written
#                   below): PDF and text jobs come out as a bare PDF file
#                   (no PJL wrapper) in DIR/out/office.pdf
#   ZETAFAX_Office  CUPS's Generic PostScript printer -> DIR/out/zetafax.ps
#   PDFCreator      CUPS's Generic PostScript printer; with PDFPRINTER through
#                   the backend vorpla-spool into DIR/spool-pdf/spool.ps (the
#                   spool folder of Vorpla's quality PDF route), without it
#                   -> DIR/out/spool.ps; either way its PDF jobs become
#                   PostScript through pdftocairo, fonts kept as fonts
# All three default to A4 paper. (CUPS queue names cannot hold blanks, hence
# "ZETAFAX_Office".) The start-pdf spooler has Vorpla_PDF only, with the
# Office driver and a backend of its own (DIR/serverbin/backend/vorpla-pdf).
#
# A file: device is opened by cupsd itself (as root when cupsd runs as root,
# mode 0600): each job replaces the queue's output file.
set -euo pipefail

uso() {
  echo "usage: $0 start DIR [PDFPRINTER] | start-pdf DIR OUT | stop DIR" >&2
  exit 2
}

[ $# -ge 2 ] || uso
comando=$1
DIR=$2
OUT=
PDFPRINTER=
case "$comando" in
  start)
    [ $# -eq 2 ] || [ $# -eq 3 ] || uso
    mkdir -p "$DIR"
    if [ $# -eq 3 ]; then PDFPRINTER=$(cd "$3" && pwd -P); fi
    ;;
  start-pdf)
    [ $# -eq 3 ] || uso
    mkdir -p "$DIR" "$3"
    OUT=$(cd "$3" && pwd -P)
    ;;
  stop) [ $# -eq 2 ] || uso; [ -d "$DIR" ] || exit 0 ;;
  *) uso ;;
esac
DIR=$(cd "$DIR" && pwd -P)
SOCKET=$DIR/cups.sock
PIDFILE=$DIR/cupsd.pid

# The pid in DIR/cupsd.pid when that process is still a cupsd using DIR's
# configuration (a stale file or a reused pid is not ours to touch).
pid_attivo() {
  [ -f "$PIDFILE" ] || return 1
  local pid
  pid=$(cat "$PIDFILE" 2>/dev/null) || return 1
  [[ "$pid" =~ ^[0-9]+$ ]] || return 1
  [ -r "/proc/$pid/cmdline" ] || return 1
  tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "-c $DIR/etc/cupsd.conf" || return 1
  echo "$pid"
}

ferma() {
  local pid
  if pid=$(pid_attivo); then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
      kill -KILL "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$PIDFILE" "$SOCKET" 2>/dev/null || true
}

fallisci() {
  echo "cups-test-server: $*" >&2
  for log in "$DIR/log/error_log" "$DIR/log/cupsd.out"; do
    if [ -s "$log" ]; then
      echo "---- tail of $log ----" >&2
      tail -n 40 "$log" >&2
    fi
  done
  ferma
  exit 1
}

# The programs of CUPS, linked into DIR/serverbin, whose backend folder is
# the spooler's own, so backends can be installed there (PDFCreator's
# vorpla-spool) without touching the system's.
SERVERBIN=$DIR/serverbin
scrivi_serverbin() {
  mkdir -p "$SERVERBIN/backend"
  local voce
  for voce in /usr/lib/cups/*; do
    [ "$(basename "$voce")" = backend ] || ln -s "$voce" "$SERVERBIN/"
  done
  for voce in /usr/lib/cups/backend/*; do
    ln -s "$voce" "$SERVERBIN/backend/"
  done
}

# For start-pdf one more backend: "vorpla-pdf:FOLDER" writes every job, as
# the filters made it, to FOLDER/NNNNN-TITLE.pdf (under a temporary name until
# it is complete).
scrivi_backend() {
  cat >"$SERVERBIN/backend/vorpla-pdf" <<'FINE'
#!/bin/sh
# CUPS backend: every job into its own PDF file in the folder of the device
# URI (vorpla-pdf:/folder). Arguments: job user title copies options [file].
if [ $# -eq 0 ]; then
  echo 'file vorpla-pdf "Vorpla" "PDF files in a folder"'
  exit 0
fi
cartella=${DEVICE_URI#vorpla-pdf:}
nome=$(printf '%s' "$3" | tr -c 'A-Za-z0-9._-' '_' | cut -c1-80)
uscita=$cartella/$(printf '%05d' "$1")-${nome%.pdf}.pdf
if [ $# -ge 6 ]; then
  cat -- "$6" >"$uscita.part" || { rm -f "$uscita.part"; exit 1; }
else
  cat >"$uscita.part" || { rm -f "$uscita.part"; exit 1; }
fi
chmod 0644 "$uscita.part" && mv -f "$uscita.part" "$uscita" || exit 1
echo "INFO: $uscita" >&2
exit 0
FINE
  # As root, cupsd runs a backend only root may read as root (so it can
  # write into any folder); an ordinary user's cupsd runs it as that user.
  if [ "$(id -u)" -eq 0 ]; then
    chmod 0700 "$SERVERBIN/backend/vorpla-pdf"
  else
    chmod 0755 "$SERVERBIN/backend/vorpla-pdf"
  fi
}

scrivi_configurazione() {
  local utente=lp gruppo=lp
  mkdir -p "$DIR/etc/ppd" "$DIR/etc/ssl" "$DIR/spool/tmp" "$DIR/cache" \
    "$DIR/run/certs" "$DIR/log" "$DIR/out"

  cat >"$DIR/etc/cups-files.conf" <<EOF
# Private test spooler: every path below lives under $DIR.
ServerRoot $DIR/etc
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/run
ServerKeychain $DIR/etc/ssl
CreateSelfSignedCerts no
ErrorLog $DIR/log/error_log
AccessLog $DIR/log/access_log
PageLog $DIR/log/page_log
Printcap $DIR/run/printcap
ServerBin $SERVERBIN
DataDir /usr/share/cups
FileDevice Yes
PeerCred on
EOF
  if [ "$(id -u)" -eq 0 ]; then
    # As root cupsd runs filters and backends as User/Group (it refuses to
    # run them as root); they must reach the spool files under DIR.
    cat >>"$DIR/etc/cups-files.conf" <<EOF
User $utente
Group $gruppo
SystemGroup root
LogFileGroup root
EOF
    chmod 0755 "$DIR"
    chown "root:$gruppo" "$DIR/out"
    chmod 0775 "$DIR/out"
  else
    # An ordinary user's cupsd runs everything as that user.
    cat >>"$DIR/etc/cups-files.conf" <<EOF
SystemGroup $(id -gn)
EOF
  fi

  # A PDF printer: the cups-filters chain turns PDF, text, images and
  # PostScript into PDF (pdftopdf applies page selection and copies) and the
  # result goes to the device unchanged.
  cat >"$DIR/etc/vorpla-pdf.ppd" <<'EOF'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "VORPDF.PPD"
*Manufacturer: "Vorpla"
*Product: "(Vorpla Test PDF Printer)"
*ModelName: "Vorpla Test PDF Printer"
*ShortNickName: "Vorpla Test PDF Printer"
*NickName: "Vorpla Test PDF Printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsManualCopies: True
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Page Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageSize Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageRegion Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea Letter/Letter: "0 0 612 792"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/Letter: "612 792"
*DefaultResolution: 300dpi
EOF

  cat >"$DIR/etc/cupsd.conf" <<EOF
# Private test spooler: one unix socket, no network, no browsing or sharing.
Listen $SOCKET
LogLevel info
AccessLogLevel all
MaxLogSize 0
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
JobRetryInterval 5
PreserveJobHistory Yes
PreserveJobFiles No
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
}

aspetta_risposta() {
  for _ in $(seq 1 100); do
    if ! kill -0 "$1" 2>/dev/null; then
      return 1
    fi
    if [ -S "$SOCKET" ] && CUPS_SERVER=$SOCKET lpstat -r 2>/dev/null | grep -q 'is running'; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

crea_coda() {
  local nome=$1 uri=$2 modello=$3
  shift 3
  CUPS_SERVER=$SOCKET lpadmin -p "$nome" -v "$uri" "$modello" -E \
    -o printer-is-shared=false -o PageSize=A4 "$@" >>"$DIR/log/lpadmin.out" 2>&1 ||
    fallisci "lpadmin could not create $nome (see $DIR/log/lpadmin.out: $(tail -n 3 "$DIR/log/lpadmin.out"))"
  CUPS_SERVER=$SOCKET cupsenable "$nome" || fallisci "cupsenable $nome failed"
  CUPS_SERVER=$SOCKET cupsaccept "$nome" || fallisci "cupsaccept $nome failed"
}

avvia() {
  # A unix socket path holds at most 107 bytes.
  if [ ${#SOCKET} -gt 100 ]; then
    echo "cups-test-server: socket path too long for a unix socket: $SOCKET" >&2
    exit 1
  fi
  ferma
  # Output and state of an earlier run must not leak into this one.
  rm -rf "$DIR/etc" "$DIR/spool" "$DIR/cache" "$DIR/run" "$DIR/log" "$DIR/out" "$DIR/serverbin" "$DIR/spool-pdf"
  scrivi_serverbin
  if [ -n "$OUT" ]; then
    scrivi_backend
  fi
  scrivi_configurazione

  # setsid: the spooler outlives this script and does not get the caller's
  # terminal signals; it is stopped with "stop DIR".
  setsid /usr/sbin/cupsd -f -c "$DIR/etc/cupsd.conf" -s "$DIR/etc/cups-files.conf" \
    </dev/null >"$DIR/log/cupsd.out" 2>&1 &
  local pid=$!
  echo "$pid" >"$PIDFILE"
  aspetta_risposta "$pid" || fallisci "cupsd in $DIR did not answer on $SOCKET"

  local attesa=Office
  if [ -n "$OUT" ]; then
    attesa=Vorpla_PDF
    crea_coda Vorpla_PDF "vorpla-pdf:$OUT" "-P$DIR/etc/vorpla-pdf.ppd"
  else
    crea_coda Office "file:$DIR/out/office.pdf" \
      "-P$DIR/etc/vorpla-pdf.ppd"
    crea_coda ZETAFAX_Office "file:$DIR/out/zetafax.ps" "-mdrv:///sample.drv/generic.ppd"
    if [ -n "$PDFPRINTER" ]; then
      CUPS_SERVER=$SOCKET CUPS_SERVERBIN=$SERVERBIN "$PDFPRINTER/ZORV_PRADELK.EXE" "$DIR/spool-pdf" \
        >>"$DIR/log/lpadmin.out" 2>&1 ||
        fallisci "the PDF printer installer failed: $(tail -n 3 "$DIR/log/lpadmin.out")"
    else
      # The PDF-to-PostScript renderer the installer gives the queue: fonts
      # stay outline fonts, so the PDF made back from spool.ps keeps its text.
      crea_coda PDFCreator "file:$DIR/out/spool.ps" "-mdrv:///sample.drv/generic.ppd" \
        -o pdftops-renderer-default=pdftocairo
    fi
  fi
  CUPS_SERVER=$SOCKET lpadmin -d "$attesa" || fallisci "lpadmin -d $attesa failed"

  local predefinita
  # The server's own default, not one from the caller's LPDEST/PRINTER.
  predefinita=$(env -u LPDEST -u PRINTER CUPS_SERVER="$SOCKET" lpstat -d 2>/dev/null || true)
  [[ "$predefinita" == *": $attesa" ]] || fallisci "default printer is not $attesa: $predefinita"

  echo "export CUPS_SERVER=$SOCKET"
  echo "export CUPS_SERVERBIN=$SERVERBIN"
}

case "$comando" in
  start | start-pdf) avvia ;;
  stop) ferma ;;
  *) uso ;;
esac
