# Sourced by ./dev: a virtual X display, a private Wine prefix and a warm
# wineserver for the Windows-side tests, all stopped again when the shell exits.
# Never touches ~/.wine.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
WINE_ENV_PIDS=()
WINE_ENV_XVFB_PID=

wine_env_stop() {
  local pid
  for pid in "${WINE_ENV_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [[ -n ${WINEPREFIX:-} && -d ${WINEPREFIX:-/nonexistent} ]]; then
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if [[ -n $WINE_ENV_XVFB_PID ]]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
  fi
}

# wine_env_start [--keep-display]: without the flag a private Xvfb is always
# started, so tests never touch the user's screen or clipboard. Its screen is
# WINE_ENV_SCREEN (width x height x depth), 1280x800x24 unless set.
wine_env_start() {
  trap wine_env_stop EXIT
  trap 'exit 130' INT TERM
  if [[ ${1:-} != --keep-display || -z ${DISPLAY:-} ]]; then
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${WINE_ENV_SCREEN:-1280x800x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local num
    read -r -t 20 num <"$fifo" || { echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$num"
  fi

  export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  local template="$ROOT/build/wine-template"
  mkdir -p "$ROOT/build"
  # One template per clone, made once; runs started together wait for it.
  (
    flock 9
    # The marker names what the template holds; an older one is made again.
    if [[ ! -f $template/.ready-marlett ]]; then
      printf '\n== preparing Wine for this clone (first run only, about 20 s)\n'
      rm -rf "$template"
      WINEPREFIX="$template" "$WINE" wineboot -i </dev/null >/dev/null 2>&1
      # Without a window manager Wine waits 2 s on every hide unless it
      # manages the windows itself.
      WINEPREFIX="$template" "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        </dev/null >/dev/null 2>&1
      WINEPREFIX="$template" "$WINESERVER" -w
      # The title bars' buttons are Marlett glyphs; Wine here does not look
      # where fonts-wine puts it.
      cp /usr/share/wine/fonts/marlett.ttf "$template/drive_c/windows/Fonts/"
      touch "$template/.ready-marlett"
    fi
  ) 9>"$ROOT/build/wine-template.lock"
  # Each run its own prefix, so that runs started together in one clone
  # never share (or delete) each other's.
  export WINEPREFIX="$ROOT/build/wineprefix-${WINE_ENV_NAME:-run}-$$"
  rm -rf "$WINEPREFIX"
  cp -a "$template" "$WINEPREFIX"
  # Start the server first with stdio away from any pipe, or Wine's services
  # inherit a pipe that ctest waits on forever.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  "$WINE" cmd /c exit 0 </dev/null >/dev/null 2>&1
  export PW_WINE="$WINE"
}

# wine_env_wait_window TITLE SECONDS: waits until an X window whose title
# matches exists, and prints its id.
wine_env_wait_window() {
  local deadline=$((SECONDS + $2))
  until xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 | grep .; do
    ((SECONDS < deadline)) || { echo "window '$1' did not appear" >&2; return 1; }
    sleep 0.2
  done
}
