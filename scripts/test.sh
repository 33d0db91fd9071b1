#!/usr/bin/env bash
# Runs every test of the project: installs what is missing, builds the host, win32 and win64
# configurations, runs the host tests (under ASan and UBSan), the win64 tests under wine64 and
# the win32 tests (the product itself) under the 32-bit Wine of its own root, each on a
# virtual display, and the bounded fuzz runs. Exits non-zero when anything fails.
#
#   scripts/test.sh                      every test, once (what CI runs)
#   scripts/test.sh --repeat N [REGEX]   the chosen tests of the built trees N times each
#                                        (scripts/repeat-tests.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [[ ${1:-} == --repeat ]]; then
  shift
  exec bash scripts/repeat-tests.sh "$@"
fi

scripts/setup.sh

jobs=$(nproc)
summary=()
failed=0

note_ctest() {  # name, log: keep ctest's closing count for the summary
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$2" | tail -n 1 || true)
  if [[ -z $line ]] && grep -q 'No tests were found' "$2"; then
    line="built; no tests registered"
  fi
  summary+=("$1: ${line:-no result}")
}

run_ctest() {  # name, preset, [extra ctest args]
  local name=$1 preset=$2; shift 2
  local log=build/$preset/ctest.log
  if ctest --preset "$preset" -j "$jobs" "$@" 2>&1 | tee "$log"; then :; else failed=1; fi
  note_ctest "$name" "$log"
}

for preset in host win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

run_ctest host host

# Wine: a fresh prefix per build for this run, a virtual display, and the wineserver ended
# afterwards. win64 under the machine's wine64; win32, the product, under the 32-bit Wine of
# its own root, where this machine's kernel runs 32-bit code.
source scripts/wine-builds.sh
run_under_wine() {  # summary name, preset (win32|win64)
  with_wine_session "$2" run_ctest "$1" "$2"
}
run_under_wine win64 win64
if why=$(scripts/wine32-root.sh check); then
  run_under_wine "win32 under wine32" win32
else
  # The inspection tests of the product still run; nothing of it is started.
  run_ctest "win32 without Wine" win32 -LE wine
  summary+=("win32 under wine32: skipped: $why")
fi

# The whole sequence on the host under Valgrind's memcheck, in an optimised build without
# sanitizers: no invalid access, no leak.
step() {  # name, command...: runs a check and keeps its outcome for the summary
  local name=$1; shift
  if "$@"; then summary+=("$name: ok"); else failed=1; summary+=("$name: FAILED"); fi
}
memcheck() {
  cmake --preset host-release >/dev/null
  cmake --build --preset host-release -j "$jobs" --target sequence_run
  valgrind -q --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    build/host-release/tests/scale/sequence_run 300 3000000
}
step "memcheck (whole sequence)" memcheck

# The product is reproducible: a second clean build elsewhere gives the same bytes.
reproducible() {
  local again=build/win32-again
  rm -rf "$again"
  cmake --preset win32 -B "$again" >/dev/null
  cmake --build "$again" -j "$jobs" --target zvsetup >/dev/null
  cmp build/win32/launcher/zvsetup.exe "$again/launcher/zvsetup.exe" &&
    echo "zvsetup.exe: two clean builds give the same $(stat -c %s "$again/launcher/zvsetup.exe") bytes"
}
step "reproducible product" reproducible
# A release engineer's payload through the one-command setup build, and back out again.
step "setup build" scripts/check-setup-build.sh --arch win32
# The tools' release bundles, made twice, and a setup made from each bundle alone.
step "tool bundles" tool_bundles_step

if [[ -x scripts/fuzz.sh ]]; then
  step "fuzz" scripts/fuzz.sh
fi

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
total_pass=0; total_fail=0
for s in "${summary[@]}"; do
  if [[ $s =~ ([0-9]+)%\ tests\ passed,\ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    total_fail=$((total_fail + BASH_REMATCH[2]))
    total_pass=$((total_pass + BASH_REMATCH[3] - BASH_REMATCH[2]))
  fi
done
echo "tests: $total_pass passed, $total_fail failed"
exit $(( failed || total_fail > 0 ))
