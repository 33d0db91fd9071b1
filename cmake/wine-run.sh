#!/usr/bin/env bash
# Runs a Windows program under the Wine at hand: wine64 for the win64 build, and inside the
# 32-bit Wine root for the win32 build (cmake/wine32-run.sh). The prefix comes from WINEPREFIX
# (scripts/test.sh makes a fresh one per run); Wine's own chatter is silenced.
set -u
export WINEDEBUG=${WINEDEBUG:--all}
# A Western European locale by default, so that the ANSI and OEM code pages are 1252 and 850
# as on the machines the product is for; a test may set its own.
export LC_ALL=${LC_ALL:-en_GB.UTF-8}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [[ -z "${WINEPREFIX:-}" ]]; then
  echo "wine-run: WINEPREFIX is not set (run the tests through scripts/test.sh)" >&2
  exit 2
fi
# The display that scripts/wine-session.sh started for this prefix.
if [[ -z "${DISPLAY:-}" && -f "$WINEPREFIX.session" ]]; then
  source "$WINEPREFIX.session"
  export DISPLAY=${display:-}
fi
exec wine "$@"
