# Sourced by the test scripts: the Wine side of a build's test run. Needs root (the checkout).
export WINEDEBUG=-all

# with_wine_session PRESET COMMAND...: runs COMMAND with a fresh prefix of the build's own
# (build/PRESET/wineprefix) booted under the build's Wine (wine64 for win64, the 32-bit root's
# for win32) on a virtual display; the session is ended afterwards, also when the script is
# stopped meanwhile.
with_wine_session() {
  local preset=$1 status=0
  shift
  export WINEPREFIX=$root/build/$preset/wineprefix
  rm -rf "$WINEPREFIX"
  scripts/wine-session.sh start "$preset"
  trap "scripts/wine-session.sh stop $preset" EXIT
  "$@" || status=$?
  scripts/wine-session.sh stop "$preset"
  trap - EXIT
  return $status
}

# The tools' release bundles, made twice, and a setup made from each bundle alone: the Windows
# one's zvpack.exe under wine64, in the win64 run's prefix (kept, not made anew).
tool_bundles_step() {
  local status=0
  export WINEPREFIX=$root/build/win64/wineprefix
  scripts/wine-session.sh start
  trap "scripts/wine-session.sh stop" EXIT
  tests/setup_build/tool_bundles_test.sh build/win32 "$root/cmake/wine-run.sh" || status=$?
  scripts/wine-session.sh stop
  trap - EXIT
  return $status
}
