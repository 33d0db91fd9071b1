#!/usr/bin/env bash
# Ctrl-C under Wine: pending_output_probe.exe (its path the first argument) holds a pending
# output beside an old Café-setup.exe, waiting, writing, or running a command; a SIGINT to its
# Wine process (which Wine turns into a Ctrl-C event) must end it with STATUS_CONTROL_C_EXIT
# (the shell sees its low byte, 58) and leave the old file alone with nothing beside it. While
# the command runs, the interrupt must be recorded first and the output discarded after.
set -u
probe=$1
runner=$(cd "$(dirname "$0")/../../cmake" && pwd)/wine-run.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
name='Café-setup.exe'
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

interrupt() {  # mode
  local mode=$1 dir=$work/$1
  mkdir "$dir"
  printf old > "$dir/$name"
  bash "$runner" "$probe" "$mode" "Z:$dir" "Z:$probe" > "$work/$mode.out" 2> "$work/$mode.err" &
  local pid=$!
  for _ in $(seq 300); do
    grep -q ready "$work/$mode.out" "$work/$mode.err" && break
    sleep 0.1
  done
  [[ $(ls "$dir" | wc -l) == 2 ]] || fail "$mode: no pending output beside the old file"
  kill -INT "$pid"
  # A probe that the interrupt did not end would wait for ever (the command's 5 s aside).
  local state
  for _ in $(seq 150); do
    state=$(ps -o stat= -p "$pid")
    [[ -z $state || $state == Z* ]] && break
    sleep 0.1
  done
  if [[ -n $state && $state != Z* ]]; then
    fail "$mode: still running after the interrupt"
    kill -KILL "$pid"
  fi
  wait "$pid"
  local code=$?
  [[ $code == 58 ]] || fail "$mode: exit code $code, not 0xC000013A's 58"
  [[ $(ls "$dir") == "$name" ]] || fail "$mode: left $(ls "$dir" | tr '\n' ' ')"
  [[ $(cat "$dir/$name") == old ]] || fail "$mode: the old file changed"
}

interrupt wait
interrupt write
interrupt command
grep -q "interrupt recorded" "$work/command.err" || fail "command: the interrupt was not recorded while it ran"
if [[ $failures != 0 ]]; then
  cat "$work"/*.err >&2
  exit 1
fi
echo "pending output interrupted under Wine: 3 cases passed"
