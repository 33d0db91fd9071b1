#!/usr/bin/env bash
# Bounded fuzz runs: configures and builds the fuzz preset (clang, libFuzzer), then runs
# each fuzz target for a fixed time in a scratch folder of its own, starting from a copy
# of its committed seed corpus. Fails when a target crashes, a sanitizer reports, or a
# file appears outside the target's scratch drive.
#
#   scripts/fuzz.sh [seconds]     (default: 60 per target; FUZZ_SECONDS works as well)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-${FUZZ_SECONDS:-60}}
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
jobs=${FUZZ_JOBS:-2}

cmake --preset fuzz -B "$build" >/dev/null
# target name, its seed corpus
targets=(
  "archive_fuzz archive/fuzz_corpus"
)
names=()
for t in "${targets[@]}"; do names+=("${t%% *}"); done
cmake --build "$build" -j "$jobs" --target "${names[@]}"

failed=0
for t in "${targets[@]}"; do
  name=${t%% *}
  corpus=$root/${t#* }
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/vx-fuzz-$name-XXXXXX")
  mkdir -p "$scratch/corpus" "$scratch/artifacts" "$scratch/cwd/C:"
  cp "$corpus"/* "$scratch/corpus/"
  log=$scratch/fuzz.log
  echo "== $name: $seconds s in $scratch"
  # The target's drive C is the folder "C:" inside its working folder, so a file layer
  # that takes "C:\x" literally still writes below the scratch folder.
  status=0
  (cd "$scratch/cwd" &&
    VX_HOST_DRIVE_C=$scratch/cwd/C: \
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    "$build/archive/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$scratch/artifacts/" \
      "$scratch/corpus") >"$log" 2>&1 || status=$?
  tail -n 12 "$log"
  problem=""
  if [[ $status -ne 0 ]]; then problem="exit status $status"; fi
  if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|==[0-9]+==ERROR' "$log"; then
    problem="${problem:+$problem; }sanitizer or libFuzzer report"
  fi
  if [[ -n $(ls -A "$scratch/artifacts") ]]; then
    problem="${problem:+$problem; }crash inputs in $scratch/artifacts"
  fi
  # Only the drive folder may be left in the working folder, and the drive may hold at
  # most the (emptied) work folder.
  stray=$(cd "$scratch/cwd" && find . -mindepth 1 -not -path './C:' -not -path './C:/W' | head -n 5)
  if [[ -n $stray ]]; then problem="${problem:+$problem; }files outside the work folder: $stray"; fi
  if [[ -n $problem ]]; then
    echo "== $name FAILED: $problem (log and inputs kept in $scratch)"
    failed=1
  else
    echo "== $name clean"
    rm -rf "$scratch"
  fi
done
exit $failed
