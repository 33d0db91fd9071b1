#!/usr/bin/env bash
# Bounded fuzz runs: configures and builds the fuzz preset (clang, libFuzzer), then runs
# each fuzz target for a fixed time in a scratch folder of its own, starting from a copy
# of its committed seed corpus. Fails when a target crashes, a sanitizer reports, or a
# file appears outside the target's scratch drive. Prints the executions and coverage
# of every target.
#
#   scripts/fuzz.sh [seconds] [target...]   (default: 30 s for each of all targets;
#                                            FUZZ_SECONDS works as well)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-${FUZZ_SECONDS:-30}}
shift $(($# > 0 ? 1 : 0))
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
jobs=${FUZZ_JOBS:-2}

# target name, its seed corpus
targets=(
  "archive_fuzz archive/fuzz_corpus"
  "string_format_fuzz tests/fuzz/corpus/string_format_fuzz"
  "string_model_fuzz tests/fuzz/corpus/string_model_fuzz"
  "dib_fuzz tests/fuzz/corpus/dib_fuzz"
  "message_format_fuzz tests/fuzz/corpus/message_format_fuzz"
  "create_path_dirs_fuzz tests/fuzz/corpus/create_path_dirs_fuzz"
)
if [[ $# -gt 0 ]]; then
  chosen=()
  for t in "${targets[@]}"; do
    for wanted in "$@"; do
      if [[ ${t%% *} == "$wanted" ]]; then chosen+=("$t"); fi
    done
  done
  targets=("${chosen[@]}")
fi
names=()
for t in "${targets[@]}"; do names+=("${t%% *}"); done

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$jobs" --target "${names[@]}"

failed=0
summary=()
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
    "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$scratch/artifacts/" \
      "$scratch/corpus") >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  coverage=$(grep -oE '(DONE|INITED) +cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 | sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+)/\1 edges, \2 features/')
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
  line="$name: ${runs:-no} runs, ${coverage:-coverage unknown}"
  if [[ -n $problem ]]; then
    tail -n 30 "$log"
    echo "== $name FAILED: $problem (log and inputs kept in $scratch)"
    summary+=("$line: FAILED")
    failed=1
  else
    echo "== $line, clean"
    summary+=("$line: clean")
    rm -rf "$scratch"
  fi
done
printf '%s\n' "${summary[@]}"
exit $failed
