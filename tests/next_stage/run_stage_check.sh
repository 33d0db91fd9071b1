#!/usr/bin/env bash
# run_stage_check.sh WINE_RUN VISTART PIDWAIT STARTER CORPUS SCENARIO: lays out a work folder
# in Wine's temporary folder as the launcher leaves it (copies of Vistart.exe and pidwait.exe,
# a few unpacked files in subfolders, a clean-up script in the launcher's format), starts
# Vistart.exe from it through the stand-in STARTER, then checks the stage's record and that
# the script removed every file, every folder and itself once Vistart.exe had ended.
# SCENARIO: launcher (ResourceFile is the starter with its three archives) or unreadable
# (ResourceFile names no file: exit code 4, the clean-up still happens).
set -uo pipefail
wine_run=$1 vistart=$2 pidwait=$3 starter=$4 corpus=$5 scenario=$6

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wine_do() { timeout -k 5 60 "$wine_run" "$@" </dev/null; }
to_windows() { wine_do winepath -w "$1" 2>/dev/null | tr -d '\r'; }

temp_win=$(wine_do cmd /c echo %TEMP% | tr -d '\r')
temp_unix=$(wine_do winepath -u "$temp_win" 2>/dev/null | tr -d '\r')
temp_unix=${temp_unix%/}
temp_win=${temp_win%\\}
if [[ -z $temp_unix || ! -d $temp_unix ]]; then
  echo "run_stage_check: Wine's temporary folder ($temp_win) not found" >&2
  exit 2
fi

id=$$$RANDOM
work_unix=$temp_unix/VAVOdozu$id work_win=$temp_win\\VAVOdozu$id
script_unix=$temp_unix/$id.bat script_win=$temp_win\\$id.bat
record=$PWD/record_$scenario.txt
args_file=$PWD/args_$scenario.txt
rm -f "$record"
cleanup_leftovers() { rm -rf "$work_unix" "$script_unix"; }
trap cleanup_leftovers EXIT

# The unpacked files, in extraction order, and the folders made for them, newest first.
files=(Vistart.exe pidwait.exe a.dll 'Data\b.dat' 'Data\Eng\c.txt')
dirs=('Data\Eng' 'Data')
mkdir -p "$work_unix/Data/Eng"
cp "$vistart" "$work_unix/Vistart.exe"
cp "$pidwait" "$work_unix/pidwait.exe"
echo a > "$work_unix/a.dll"
echo b > "$work_unix/Data/b.dat"
echo c > "$work_unix/Data/Eng/c.txt"
{
  printf 'cd \\\r\n'
  printf '%s\\pidwait %%1\r\n' "$work_win"
  for f in "${files[@]}"; do printf 'del %s\\%s\r\n' "$work_win" "$f"; done
  for d in "${dirs[@]}"; do printf 'rmdir %s\\%s\r\n' "$work_win" "$d"; done
  printf 'rmdir %s\r\n' "$work_win"
  printf 'del %s\r\n' "$script_win"
} > "$script_unix"

# The launcher's own arguments: blanks, quotes and percent signs pass through unchanged.
launcher_args='/S "C:\My Files" 100% %1'
printf '%s' "$launcher_args" > "$args_file"

starter_win=$(to_windows "$starter")
case $scenario in
  launcher) resource_arg=- resource_win=$starter_win want_exit=0 want_resource=opened ;;
  unreadable) resource_win=$temp_win\\no-launcher-$id.exe resource_arg=$resource_win want_exit=4
    want_resource=unreadable ;;
  *) echo "run_stage_check: unknown scenario $scenario" >&2; exit 2 ;;
esac

before_ms=$(date +%s%3N)
(cd "$work_unix" && ZELVORA_STAGE_RECORD=$(to_windows "$record") \
  timeout -k 5 60 "$wine_run" "$starter" "$resource_arg" "$script_win" "$(to_windows "$args_file")" </dev/null)
status=$?
[[ $status == 0 ]] || fail "the starter exited with $status"

# The record is complete once its last line is there.
for _ in $(seq 300); do
  grep -q '^exit_code=' "$record" 2>/dev/null && break
  sleep 0.1
done
after_ms=$(date +%s%3N)
if [[ ! -f $record ]]; then
  fail "no record at $record"
  exit 1
fi
sed 's/^/  record: /' "$record"

has() { grep -qxF -- "$1" "$record" || fail "record lacks: $1"; }
value() { sed -n "/^$1=/{s/^$1=//p;q}" "$record"; }  # the first such line; no pipe to cut short

has "command_line=ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None Wnd=Maximized ResourceFile=\"$resource_win\" CleanUp=\"$script_win\" $launcher_args"
has "word=ZVSetup"
want_args=$(printf '%s\n' arg.SetupProgram=ZVPict arg.Lite=Yes arg.Wnd=Normal arg.Server=None arg.Wnd=Maximized \
  "arg.ResourceFile=$resource_win" "arg.CleanUp=$script_win")
[[ $(grep '^arg\.' "$record") == "$want_args" ]] || fail "arguments differ from: $want_args"
has "ended_by_cleanup=yes"
has "remainder=$launcher_args"
has "program=$work_win\\Vistart.exe"
# The current-directory query may give the folder in another case.
[[ "$(value current_dir | tr a-z A-Z)" == "$(tr a-z A-Z <<<"$work_win")" ]] || fail "current_dir is not $work_win"
has "resource_file=$want_resource"
has "exit_code=$want_exit"
pid=$(value pid)
[[ $pid =~ ^[0-9]+$ && $pid != 0 ]] || fail "pid is '$pid'"
# The interpreter by its full path in the system folder, never searched for by name.
command=$(value cleanup_command)
want_tail="\\cmd.exe\" /c \"\"$script_win\" $pid\""
[[ $command == \"[A-Za-z]:* && $command == *"$want_tail" ]] ||
  fail "cleanup_command is not the system folder's cmd.exe with the script: $command"
start=$(value cleanup_start)
[[ $start =~ ^[0-9]+$ ]] && ((start > 31)) || fail "the clean-up script did not start ($start)"
start_ms=$(value start_ms)
((before_ms <= start_ms && start_ms <= after_ms)) || fail "start_ms $start_ms not within $before_ms..$after_ms"

# Each archive as the seed it was made from: entry count and the sum of the inflated sizes.
if [[ $scenario == launcher ]]; then
  for pair in APPBASE:folders PICTUNINST:licences ZVVERSION:one_file; do
    name=${pair%%:*} seed=$corpus/${pair#*:}
    read -r entries inflated < <(python3 - "$seed" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
pos = struct.unpack_from('<I', data, 0)[0]
count = struct.unpack_from('<I', data, pos)[0]
pos += 4
total = 0
for _ in range(count):
    n = data[pos]
    total += struct.unpack_from('<I', data, pos + 1 + n + 8)[0]
    pos += 25 + n
print(count, total)
PY
    )
    has "archive.$name.found=yes"
    has "archive.$name.entries=$entries"
    has "archive.$name.inflated=$inflated"
    has "archive.$name.check=ok"
  done
else
  grep -q '^archive\.' "$record" && fail "archives looked at without a ResourceFile"
fi

# The script waits for Vistart.exe to end, then removes everything.
for _ in $(seq 300); do
  [[ -e $work_unix || -e $script_unix ]] || break
  sleep 0.1
done
done_ms=$(date +%s%3N)
echo "run_stage_check: the work folder was gone $((done_ms - start_ms)) ms after the stage started"
if [[ -e $work_unix ]]; then
  fail "the work folder is still there: $(cd "$work_unix" && find . | tr '\n' ' ')"
fi
[[ -e $script_unix ]] && fail "the clean-up script is still there"
[[ -f $record ]] || fail "the record went with the work folder"

if ((failures)); then
  echo "run_stage_check: $failures check(s) failed" >&2
  exit 1
fi
echo "run_stage_check: $scenario passed"
