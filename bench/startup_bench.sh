#!/usr/bin/env bash
# The launcher's start-up under Wine against a trivial GUI program's, on the same Wine and
# display: from just before CreateProcess to the splash's first painted pixels on the screen
# and to the next stage's start, each over the baseline's first painted pixels. A win32 build
# (the product) runs under the 32-bit Wine root, a win64 build under wine64.
# usage: bash bench/startup_bench.sh BUILD_DIR [RUNS]
#   The build must hold zvsetup, startup_probe and first_paint_window (and startup_steps for
#   the table of the launcher's steps, when it is built). Runs in a Wine
#   prefix of its own (BENCH_WINEPREFIX, default a fresh one in a temporary folder) with the
#   session script's display, and stops that session at the end. RUNS defaults to 5.
#   STARTUP_BEFORE_EXE names a second launcher (say, a build of the previous version): each
#   run then starts it too, right after the other two, and the table gains its rows.
# Exit 77 with a line saying so when wine or the build is not there.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: startup_bench.sh BUILD_DIR [RUNS]}
runs=${2:-5}
launcher_exe=$build/launcher/zvsetup.exe
probe_exe=$build/bench/startup_probe.exe
baseline_exe=$build/bench/first_paint_window.exe
steps_exe=$build/bench/startup_steps.exe
source bench/probe_runs.sh
for exe in "$launcher_exe" "$probe_exe" "$baseline_exe"; do
  if [[ ! -f $exe ]]; then
    echo "startup: skipped, $exe is not built"
    exit 77
  fi
done
probe_choose_wine startup "$build"
work=$(mktemp -d)
probe_start_session startup "$work"

# The programs and every run's files in C:\startup of the prefix.
win_root='C:\startup'
root=$WINEPREFIX/drive_c/startup
rm -rf "$root"
mkdir -p "$root"
cp "$launcher_exe" "$root/zvsetup.exe"
cp "$baseline_exe" "$root/first_paint_window.exe"
before_exe=${STARTUP_BEFORE_EXE:-}
# Under the same file name as the other, in a folder of its own: only the bytes differ.
if [[ -n $before_exe ]]; then
  mkdir -p "$root/before"
  cp "$before_exe" "$root/before/zvsetup.exe"
fi
[[ -f $steps_exe ]] && cp "$steps_exe" "$root/startup_steps.exe"
figures=$work/figures
mkdir -p "$figures"

# run_pair N: the baseline once and the launcher once, each with a temporary folder of its
# own; the observations go to $figures as N-numbered files.
run_pair() {
  local n=$1
  # The baseline and the launcher take turns at going first, and so do the two launchers
  # when there is a second: whatever the one before leaves behind (a process still ending,
  # caches) falls on each alike.
  if ((n % 2 == 0)); then run_baseline "$n"; fi
  if [[ -n $before_exe ]] && ((n % 2 == 1)); then launch "$n" before 'before\zvsetup.exe' before-record; fi
  launch "$n" launcher zvsetup.exe record
  if [[ -n $before_exe ]] && ((n % 2 == 0)); then launch "$n" before 'before\zvsetup.exe' before-record; fi
  if ((n % 2 == 1)); then run_baseline "$n"; fi
  [[ -f $steps_exe ]] &&
    launch "$n" steps startup_steps.exe steps-record "$win_root\\zvsetup.exe $win_root\\steps-self-$n.txt"
  cp "$root"/{baseline,baseline-self,launcher,record,before,before-record,steps,steps-self,steps-record}-"$n".txt \
    "$figures/" 2>/dev/null || true
}

run_baseline() {  # N: the baseline once, with a temporary folder of its own
  probe_time "$probe_exe" "$win_root\\tmp-$1\\" "$win_root\\baseline-$1.txt" \
    "\"$win_root\\first_paint_window.exe\" $win_root\\baseline-self-$1.txt"
}

# launch N OBSERVATION PROGRAM RECORD [ARGUMENTS]: one launcher run with a temporary folder of
# its own.
launch() {
  local n=$1 tmp="$win_root\\tmp-$2-$1"
  ZELVORA_STAGE_RECORD="$win_root\\$4-$n.txt" \
    probe_time "$probe_exe" "$tmp\\" "$win_root\\$2-$n.txt" "\"$win_root\\$3\"${5:+ $5}"
  # The clean-up script ends after the next stage.
  probe_wait_empty "$root/tmp-$2-$n" 10 || true
}

# The first run of each program in a fresh prefix loads its files from disk: a warm-up.
echo "startup: $runs runs under $probe_wine_name" >&2
run_pair 0
for n in $(seq "$runs"); do run_pair "$n"; done
python3 bench/startup_figures.py "$figures" "$runs" "$probe_wine_name"
