#!/usr/bin/env bash
# start: a virtual X display (unless DISPLAY is set already) and a booted Wine prefix in
# $WINEPREFIX. stop: ends that prefix's wineserver and the display this script started.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
state=$WINEPREFIX.session

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
    wineserver -p </dev/null >/dev/null 2>&1 || true
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    wineserver -k >/dev/null 2>&1 || true
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
  *) echo "usage: $0 start|stop|env" >&2; exit 2 ;;
esac
