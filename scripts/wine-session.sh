#!/usr/bin/env bash
# start: a virtual X display (unless DISPLAY is set already) and a booted Wine prefix in
# $WINEPREFIX. stop: ends that prefix's wineserver and the display this script started.
# A second argument win32 takes the 32-bit Wine of its own root (scripts/wine32-root.sh) for
# the prefix, which the i686 build's tests run under; without it, the machine's wine64.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
state=$WINEPREFIX.session

mode=${2:-win64}
wine_tool() {  # command...: a Wine tool of the prefix's own Wine
  if [[ $mode == win32 ]]; then
    bash "$(dirname "$0")/wine32-root.sh" run "$@"
  else
    "$@"
  fi
}

case "${1:-}" in
  start)
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [[ -z "${DISPLAY:-}" ]]; then
      for n in $(seq 90 140); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        echo "xvfb_pid=$!" > "$state"
        echo "display=:$n" >> "$state"
        for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
        break
      done
    fi
    [[ -f $state ]] && source "$state" && export DISPLAY=${display:-$DISPLAY}
    # A persistent server first, so that the services that the boot starts (with their output
    # going nowhere) stay up for every test; otherwise the first test starts them, and they
    # hold its output pipe open after it ends.
    wine_tool wineserver -p </dev/null >/dev/null 2>&1 || true
    WINEDLLOVERRIDES="mscoree,mshtml=" wine_tool wineboot -i </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    wine_tool wineserver -k >/dev/null 2>&1 || true
    if [[ -f $state ]]; then
      source "$state"
      [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null || true
      rm -f "$state"
    fi
    ;;
  env)  # prints the DISPLAY to use for this prefix
    [[ -f $state ]] && source "$state"
    echo "${display:-${DISPLAY:-}}"
    ;;
  *) echo "usage: $0 start|stop|env [win32|win64]" >&2; exit 2 ;;
esac
