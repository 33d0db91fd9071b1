#!/usr/bin/env bash
# Runs a Windows program of the win32 build (the i686 product and its tests) under the 32-bit
# Wine of its own Debian root (scripts/wine32-root.sh), through the same wine-run.sh as the
# win64 build, so that both see the same locale, overrides and display.
here=$(cd "$(dirname "$0")" && pwd)
exec bash "$here/../scripts/wine32-root.sh" run bash "$here/wine-run.sh" "$@"
