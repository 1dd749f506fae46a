# Sourced by the test commands (with $radice the repository), after
# scripts/spooler-di-prova.sh: starts the real SMTP server of
# scripts/smtp-test-server.py on 127.0.0.1 in a temporary folder, stops it
# when the sourcing shell exits, and exports for the tests
#   VORPLA_SMTP_TEST=1, VORPLA_SMTP_PORTA (its port) and
#   VORPLA_SMTP_CARTELLA (where it saves every message it accepts).
# The tests point the real sendmail (msmtp-mta) at it through a
# configuration of their own ($XDG_CONFIG_HOME/msmtp/config).
# Nothing is started when those already name one (the sanitizer pass).
if [ "${VORPLA_SMTP_TEST:-}" != 1 ] || [ -z "${VORPLA_SMTP_PORTA:-}" ]; then
  cartella_posta=$(mktemp -d "${TMPDIR:-/tmp}/vorpla-posta.XXXXXX")
  /usr/bin/python3 "$radice/scripts/smtp-test-server.py" "$cartella_posta/ricevuti" "$cartella_posta/porta" \
    >"$cartella_posta/server.log" 2>&1 &
  pid_posta=$!
  ferma_posta() {
    kill "$pid_posta" 2>/dev/null || true
    wait "$pid_posta" 2>/dev/null || true
    rm -rf "$cartella_posta"
  }
  trap 'ferma_posta; if declare -F ferma_cups >/dev/null; then ferma_cups; fi' EXIT
  for _ in $(seq 100); do
    [ -s "$cartella_posta/porta" ] && break
    kill -0 "$pid_posta" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$cartella_posta/porta" ]; then
    cat "$cartella_posta/server.log" >&2
    echo "the test SMTP server did not start" >&2
    exit 1
  fi
  export VORPLA_SMTP_PORTA=$(cat "$cartella_posta/porta")
  export VORPLA_SMTP_CARTELLA=$cartella_posta/ricevuti
  export VORPLA_SMTP_TEST=1
fi
