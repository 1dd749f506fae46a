# Sourced by the test commands (with $radice the repository): starts a real
# X server (Xvfb) on a free display number with a real window manager
# (openbox) on it, stops both when the sourcing shell exits, and exports for
# the tests
#   VORPLA_X_TEST=1 and VORPLA_X_DISPLAY (":N").
# The terminal-server tests run vorpla on it (QT_QPA_PLATFORM=xcb) and play
# the client with xclip; the desktop tests put the windows on it and read
# back where the window manager placed them; every other test stays on the
# offscreen platform.
# -noreset: a server that resets whenever its last client leaves refuses
# the connections of that moment, and forgets the clipboard.
# Nothing is started when those already name one (the sanitizer pass).
if [ "${VORPLA_X_TEST:-}" != 1 ] || [ -z "${VORPLA_X_DISPLAY:-}" ]; then
  cartella_schermo=$(mktemp -d "${TMPDIR:-/tmp}/vorpla-schermo.XXXXXX")
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$cartella_schermo/numero" \
    >"$cartella_schermo/xvfb.log" 2>&1 &
  pid_schermo=$!
  pid_gestore=
  ferma_schermo() {
    if [ -n "$pid_gestore" ]; then
      kill "$pid_gestore" 2>/dev/null || true
      wait "$pid_gestore" 2>/dev/null || true
    fi
    kill "$pid_schermo" 2>/dev/null || true
    wait "$pid_schermo" 2>/dev/null || true
    rm -rf "$cartella_schermo"
  }
  trap 'ferma_schermo; if declare -F ferma_posta >/dev/null; then ferma_posta; fi; if declare -F ferma_cups >/dev/null; then ferma_cups; fi' EXIT
  for _ in $(seq 100); do
    # The number is written with a line break once the server listens.
    [ "$(wc -l <"$cartella_schermo/numero")" -ge 1 ] && break
    kill -0 "$pid_schermo" 2>/dev/null || break
    sleep 0.1
  done
  if [ "$(wc -l <"$cartella_schermo/numero")" -lt 1 ]; then
    cat "$cartella_schermo/xvfb.log" >&2
    echo "the test X server did not start" >&2
    exit 1
  fi
  export VORPLA_X_DISPLAY=":$(tr -d '\n' <"$cartella_schermo/numero")"
  # The window manager, with its stock settings (no user's configuration):
  # it is there once it names itself on the root window.
  XDG_CONFIG_HOME="$cartella_schermo" DISPLAY="$VORPLA_X_DISPLAY" openbox >"$cartella_schermo/openbox.log" 2>&1 &
  pid_gestore=$!
  for _ in $(seq 100); do
    DISPLAY="$VORPLA_X_DISPLAY" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  if ! DISPLAY="$VORPLA_X_DISPLAY" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
    cat "$cartella_schermo/openbox.log" >&2
    echo "the test window manager did not start" >&2
    exit 1
  fi
  export VORPLA_X_TEST=1
fi
