# probe_runs.sh - what the Wine benches share (sourced, from the checkout's top): which Wine runs
# a build's programs, a prefix of the bench's own with its session, and runs under startup_probe.
#
# After probe_choose_wine: probe_session (win32 or win64, for scripts/wine-session.sh),
# probe_wine_run (the runner script) and probe_wine_name (for the reader).

# probe_choose_wine BENCH BUILD: the build's own Wine; an i686 build's programs need the 32-bit
# Wine root. Exits 77 with "BENCH: skipped, ..." when that Wine cannot run here.
probe_choose_wine() {
  local bench=$1 build=$2 why
  if ! command -v wine >/dev/null; then
    echo "$bench: skipped, wine is not installed"
    exit 77
  fi
  if grep -q '^CMAKE_AR:FILEPATH=.*i686-' "$build/CMakeCache.txt" 2>/dev/null; then
    if ! why=$(bash scripts/wine32-root.sh check); then
      echo "$bench: skipped, $why"
      exit 77
    fi
    probe_session=win32 probe_wine_run=cmake/wine32-run.sh probe_wine_name="the 32-bit Wine"
  else
    probe_session=win64 probe_wine_run=cmake/wine-run.sh probe_wine_name=wine64
  fi
}

# probe_start_session BENCH WORK: boots a fresh prefix in the folder WORK (BENCH_WINEPREFIX
# instead, when set) with the session script's display; at the script's exit the session ends
# and WORK is removed.
probe_start_session() {
  probe_work=$2
  export WINEPREFIX=${BENCH_WINEPREFIX:-$probe_work/wine}
  trap probe_end_session EXIT
  echo "$1: booting the Wine prefix" >&2
  bash scripts/wine-session.sh start "$probe_session"
}

probe_end_session() {
  bash scripts/wine-session.sh stop "$probe_session"
  rm -rf "$probe_work"
}

# probe_wine PROGRAM ARGUMENTS...: one Windows program under the chosen Wine, quiet, ended
# after 150 s.
probe_wine() { timeout -k 5 150 bash "$probe_wine_run" "$@" >/dev/null 2>&1; }

# probe_time PROBE TEMPDIR OUT COMMANDLINE: COMMANDLINE started and watched by startup_probe
# (PROBE, the build's startup_probe.exe) with TMP and TEMP at the Windows folder TEMPDIR; its
# observation goes to the Windows file OUT.
probe_time() { probe_wine "$1" time "$2" "$3" "$4"; }

# probe_wait_empty FOLDER SECONDS: waits until the host folder FOLDER is empty (a launcher's
# clean-up script has ended), for at most SECONDS; so that the next run starts on a quiet machine.
probe_wait_empty() {
  local tries=$(($2 * 10))
  for _ in $(seq "$tries"); do
    [[ -z $(ls -A "$1") ]] && return 0
    sleep 0.1
  done
  return 1
}
