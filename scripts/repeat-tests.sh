#!/usr/bin/env bash
# Runs chosen tests of the built trees again and again, to find the ones that fail now and
# then: every test of the host, win64 and win32 builds that is not a GoogleTest program (the
# Wine scenarios, the script tests, the inspection tests), or those whose name REGEX matches
# (ctest -R), N times each, and the test command's "setup build" and "tool bundles" steps
# unless a REGEX leaves them out. Each round runs the whole choice of a build as the test
# command does (ctest -j, one Wine session per build), so that tests meet the same neighbours.
# Prints, per test, how many of its runs failed, and keeps each failed round's log under
# build/repeat/. Builds what is out of date first; exits non-zero when any run failed.
#
#   usage: scripts/test.sh --repeat N [REGEX]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

runs=${1:-}
pattern=${2:-}
if [[ ! $runs =~ ^[1-9][0-9]*$ || $# -gt 2 ]]; then
  echo "usage: scripts/test.sh --repeat N [REGEX]" >&2
  exit 1
fi

scripts/setup.sh
jobs=$(nproc)
for preset in host win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" >/dev/null
done

logs=$root/build/repeat
rm -rf "$logs"
mkdir -p "$logs"
declare -A ran=() failures=()
order=()

count() {  # key, outcome (pass|fail|skip)
  [[ -n ${ran[$1]+set} ]] || { order+=("$1"); ran[$1]=0; failures[$1]=0; }
  [[ $2 == skip ]] && return
  ran[$1]=$((ran[$1] + 1))
  [[ $2 == pass ]] || failures[$1]=$((failures[$1] + 1))
}

# One ctest round of a build; every test line of its output counted under "PRESET NAME".
ctest_round() {  # preset, round
  local preset=$1 round=$2 log=$logs/$1-$2.log line name outcome selection=(-LE unit)
  [[ -z $pattern ]] || selection=(-R "$pattern")
  local status=0
  ctest --preset "$preset" -j "$jobs" "${selection[@]}" >"$log" 2>&1 || status=$?
  while IFS= read -r line; do
    [[ $line =~ Test\ +\#[0-9]+:\ ([^ ]+)\ \.*\ *(.*)$ ]] || continue
    name=${BASH_REMATCH[1]}
    case ${BASH_REMATCH[2]} in
      Passed*) outcome=pass ;;
      *Skipped*|*"Not Run"*) outcome=skip ;;
      *) outcome=fail ;;
    esac
    count "$preset $name" "$outcome"
  done <"$log"
  ((status != 0)) || rm -f "$log"
}

ctest_rounds() {  # preset
  local round
  for round in $(seq "$runs"); do ctest_round "$1" "$round"; done
}

source scripts/wine-builds.sh
echo "repeat: $runs rounds of the chosen tests of each build${pattern:+ (-R $pattern)}"
ctest_rounds host
with_wine_session win64 ctest_rounds win64
if why=$(scripts/wine32-root.sh check); then
  with_wine_session win32 ctest_rounds win32
else
  echo "repeat: win32 under wine32: skipped: $why"
fi

# The test command's own script steps, when the choice includes them.
step_rounds() {  # key, command...
  local key=$1 round
  shift
  [[ -z $pattern || $key =~ $pattern ]] || return 0
  for round in $(seq "$runs"); do
    if "$@" >"$logs/$key-$round.log" 2>&1; then
      count "step $key" pass
      rm -f "$logs/$key-$round.log"
    else
      count "step $key" fail
    fi
  done
}
step_rounds setup-build scripts/check-setup-build.sh --arch win32
step_rounds tool-bundles tool_bundles_step

echo
printf '%-7s %-44s %5s %7s\n' build test runs failed
total=0
for key in "${order[@]}"; do
  printf '%-7s %-44s %5d %7d\n' ${key% *} "${key#* }" "${ran[$key]}" "${failures[$key]}"
  total=$((total + failures[$key]))
done
echo -n "repeat: ${#order[@]} tests, $total failed runs"
((total == 0)) && echo || echo " (the failed rounds' logs: build/repeat/)"
((total == 0))
