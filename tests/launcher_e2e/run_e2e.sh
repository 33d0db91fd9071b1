#!/usr/bin/env bash
# run_e2e.sh WINE_RUN ZVSETUP HELPER SCENARIO: runs a Windows launcher under Wine in a
# scenario of its own and checks what it did from outside: exit code, message boxes, what
# the next stage received and that nothing of the run is left in the temporary folder.
# Needs WINEPREFIX (scripts/test.sh starts the session). Exit 77: the scenario cannot be
# set up on this machine (skipped).
set -uo pipefail
wine_run=$1 zvsetup=$2 helper=$3 scenario=$4
: "${WINEPREFIX:?}"
here=$(cd "$(dirname "$0")" && pwd)

# Everything of a scenario lives in C:\e2e\<scenario>: the launcher copy, the temporary
# folder and the next stage's record.
win_root="C:\\e2e\\$scenario"
root=$WINEPREFIX/drive_c/e2e/$scenario
rm -rf "$root"
mkdir -p "$root/tmp"
cp "$zvsetup" "$root/zvsetup.exe"
launcher="$win_root\\zvsetup.exe"
temp_win="$win_root\\tmp\\"
temp_unix=$root/tmp
record=$root/record.txt
export ZELVORA_STAGE_RECORD="$win_root\\record.txt"

failures=0
check() {  # condition text, description
  if eval "$1"; then echo "ok   $2"; else echo "FAIL $2"; failures=$((failures + 1)); fi
}

wine() { timeout -k 5 150 "$wine_run" "$@" 2>/dev/null; }

# Ends a background job started with wine: the job is a subshell, so the program below it is
# ended first (killing the subshell alone would leave it running, and answering boxes of
# later scenarios, until its own time-out).
stop_job() {
  pkill -P "$1" 2>/dev/null
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# Runs the launcher with temp folder $temp_win and arguments $1; sets $status.
# The clean-up script's echo goes to the log: cmd writes it to the console that Wine maps to
# this script's output. A message box that a scenario does not expect is answered and kept
# in unexpected-box.txt, so that the run ends instead of waiting for a click.
run_launcher() {
  if [[ -z ${answer_pid:-} ]]; then
    wine "$helper" answer "Zelvora Setup" "$root/unexpected-box.txt" 90000 >/dev/null &
    local unexpected=$!
  fi
  wine "$helper" run "${temp_arg:-$temp_win}" "\"$launcher\" $1" >>"$root/console.log"
  status=$?
  if [[ -n ${unexpected:-} ]]; then
    stop_job "$unexpected"
    if [[ -f $root/unexpected-box.txt ]]; then
      echo "FAIL a message box came up: $(tr '\r\n' '  ' <"$root/unexpected-box.txt")"
      failures=$((failures + 1))
    fi
  fi
}

# Waits until the temporary folder is empty (the clean-up script runs after the next stage
# has ended), at most 60 s.
wait_until_empty() {
  for _ in $(seq 600); do
    [[ -z $(ls -A "$temp_unix") ]] && return 0
    sleep 0.1
  done
  return 1
}

# Waits until the next stage has written its whole record (its last line is exit_code=), at
# most 30 s.
wait_for_record() {
  for _ in $(seq 300); do grep -qs '^exit_code=' "$1" && return 0; sleep 0.1; done
  return 1
}

run_launcher_expecting_box() {  # the launcher is to show one message box: box.txt gets it
  answer_box_in_background "Zelvora Setup" "$root/box.txt"
  run_launcher ""
  wait "$answer_pid"
}

answer_box_in_background() {  # caption, file
  wine "$helper" answer "$1" "$2" 90000 &
  answer_pid=$!
}

case $scenario in
  happy)
    args='-silent "C:\Program Files\Zelvora" 100% done'
    run_launcher "$args"
    check '[[ $status == 0 ]]' "exit code 0 (was $status)"
    wait_for_record "$record"
    check '[[ -f $record ]]' "the next stage ran and wrote its record"
    expected="Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None Wnd=Maximized ResourceFile=\"$launcher\" CleanUp=\"${temp_win}0.bat\" $args"
    check 'grep -qxF "full_command_line=$expected" "$record"' "the next stage got the command line byte for byte"
    check 'grep -qxF "current_dir=${temp_win}VAVOdozu0" "$record"' "the next stage started in the work folder"
    check '[[ $(grep -c "^archive\..*\.check=ok$" "$record") == 3 ]]' "the three packed archives verify in the launcher's file"
    script=$(grep '^script_line=' "$record" | sed 's/^script_line=//')
    check '[[ $(sed -n 1p <<<"$script") == "cd \\" ]]' "the script begins by leaving the work folder"
    check '[[ $(sed -n 2p <<<"$script") == "${temp_win}VAVOdozu0\\pidwait %1" ]]' "then waits for the next stage"
    check '[[ $(grep -c "^del " <<<"$script") == 62 ]]' "one del line per unpacked file (61) and one for itself"
    check '[[ $(tail -n 1 <<<"$script") == "del ${temp_win}0.bat" ]]' "the script deletes itself last"
    check 'grep -qx "script_line_ends=crlf" "$record"' "every script line ends with CR LF"
    check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    ;;
  double-click)
    # Started without a console, as a double-click starts it: the clean-up's interpreter then
    # gets a console of its own, and neither may stand in the work folder when it goes.
    VX_E2E_DETACHED=1 run_launcher "-double-click"
    check '[[ $status == 0 ]]' "exit code 0 (was $status)"
    wait_for_record "$record"
    check 'grep -qx "remainder=-double-click" "$record"' "the next stage ran"
    check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    ;;
  one-instance)
    state=$root/window.txt
    wine "$helper" setup-window "$state" 8 &
    window_pid=$!
    for _ in $(seq 100); do [[ -s $state ]] && break; sleep 0.1; done
    run_launcher ""
    check '[[ $status == 0 ]]' "exit code 0 with a setup window open (was $status)"
    wait "$window_pid"
    check 'grep -qx restored "$state"' "the minimised setup window was restored"
    check '[[ -z $(ls -A "$temp_unix") ]]' "no file written"
    check '[[ ! -f $record ]]' "no next stage started"
    ;;
  no-room)
    # A 5 MiB file system as drive T: of the prefix.
    small=$root/small
    mkdir -p "$small"
    if ! mount -t tmpfs -o size=5m tmpfs "$small" 2>/dev/null; then
      echo "skip: cannot mount a small file system here"
      exit 77
    fi
    trap 'umount "$small" 2>/dev/null' EXIT
    mkdir -p "$small/tmp"
    ln -sfn "$small" "$WINEPREFIX/dosdevices/t:"
    temp_win='T:\tmp\'
    temp_unix=$small/tmp
    answer_box_in_background "Zelvora Setup" "$root/box.txt"
    run_launcher ""
    wait "$answer_pid"
    rm -f "$WINEPREFIX/dosdevices/t:"
    check '[[ $status == 1 ]]' "exit code 1 (was $status)"
    check 'grep -q "Insufficient space on drive T: to run setup!" "$root/box.txt"' "message 5 names the drive"
    check 'grep -q "(10.0 MB required, only [0-9.]* MB available)" "$root/box.txt"' "message 5 gives both figures"
    check '[[ -z $(ls -A "$temp_unix") ]]' "nothing written"
    umount "$small"
    trap - EXIT
    ;;
  damaged)
    python3 "$here/damage_archive.py" "$zvsetup" ZVIMAGE "$root/zvsetup.exe" || exit 1
    answer_box_in_background "Zelvora Setup" "$root/box.txt"
    run_launcher ""
    wait "$answer_pid"
    check '[[ $status == 2 ]]' "exit code 2 for a damaged payload (was $status)"
    check 'grep -q "The setup program is damaged" "$root/box.txt"' "one clear message"
    check 'grep -q "ZVIMAGE" "$root/box.txt"' "the message names the archive"
    check '[[ -z $(ls -A "$temp_unix") ]]' "nothing written"
    check '[[ ! -f $record ]]' "no next stage started"
    ;;
  odd-temp)
    # Blanks, percent signs and Windows-1252 letters in the temporary folder's path. The
    # Unix side spells it in UTF-8; Wine hands it to the launcher in the ANSI code page.
    name="tmp 100%d %1 äéß"
    temp_unix=$root/$name
    temp_win="$win_root\\$name\\"
    temp_arg="$win_root\\tmp 100%d %1 {E4}{E9}{DF}\\"
    wine "$helper" mkdir "$temp_arg"
    run_launcher ""
    check '[[ $status == 0 ]]' "exit code 0 (was $status)"
    wait_for_record "$record"
    # The expected line spelt as the record spells it, and the file searched directly: a
    # "grep -q" reading from a pipe may end before the converter has written its last block,
    # which pipefail then takes as a failure.
    check 'grep -qxF "$(iconv -f UTF-8 -t CP1252 <<<"arg.CleanUp=${temp_win}0.bat")" "$record"' \
      "the script lies in the temporary folder, its path taken literally"
    check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    ;;
  temp-missing)
    # GetTempPathA names a folder that does not exist.
    temp_win="$win_root\\gone\\"
    run_launcher_expecting_box
    check '[[ $status == 3 ]]' "exit code 3 (was $status)"
    check 'grep -q "could not be written to the temporary folder" "$root/box.txt"' "one clear message"
    check '[[ ! -e $root/gone ]]' "the missing folder is not made"
    check '[[ ! -f $record ]]' "no next stage started"
    ;;
  temp-read-only)
    # The temporary folder is a file system mounted read-only (a new mount rather than a
    # read-only bind, so that it is read-only in every mount namespace that sees it).
    if ! mount -t tmpfs -o ro,size=1m tmpfs "$temp_unix" 2>/dev/null; then
      echo "skip: cannot mount a read-only file system here"
      exit 77
    fi
    trap 'umount "$temp_unix" 2>/dev/null' EXIT
    run_launcher_expecting_box
    check '[[ $status == 3 ]]' "exit code 3 (was $status)"
    check 'grep -q "could not be written to the temporary folder" "$root/box.txt"' "one clear message"
    check '[[ -z $(ls -A "$temp_unix") ]]' "nothing written"
    umount "$temp_unix"
    trap - EXIT
    ;;
  long-temp)
    # A temporary folder whose path is close to the 260-character limit: the entries' paths
    # pass it. Whatever the system allows, the run succeeds and cleans up after itself, or
    # stops with one message and leaves nothing.
    long=$win_root
    long_unix=$root
    while ((${#long} < 230)); do long+='\\folder0123'; long_unix+=/folder0123; done
    mkdir -p "$long_unix"
    temp_win="$long\\"
    temp_unix=$long_unix
    answer_box_in_background "Zelvora Setup" "$root/box.txt"
    run_launcher ""
    sleep 1
    stop_job "$answer_pid"
    echo "     (path of ${#temp_win} characters; exit code $status)"
    if [[ $status == 0 ]]; then
      check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    else
      check '[[ $status == 3 ]]' "a failure is a write failure, exit code 3 (was $status)"
      check '[[ -s $root/box.txt ]]' "with one message"
      check '[[ -z $(ls -A "$temp_unix") ]]' "and nothing left"
    fi
    ;;
  two-launchers)
    # Two launchers started at the same moment both choose 0.bat and VAVOdozu0 first; each
    # must end up with a script and a work folder of its own.
    wine "$helper" answer "Zelvora Setup" "$root/unexpected-box.txt" 90000 >/dev/null &
    unexpected=$!
    for n in 1 2; do
      ZELVORA_STAGE_RECORD="$win_root\\record$n.txt" \
        wine "$helper" run "$temp_win" "\"$launcher\" -run$n" >>"$root/console.log" &
      pids[$n]=$!
    done
    wait "${pids[1]}"; status1=$?
    wait "${pids[2]}"; status2=$?
    stop_job "$unexpected"
    check '[[ ! -f $root/unexpected-box.txt ]]' "no message box came up"
    check '[[ $status1 == 0 && $status2 == 0 ]]' "both exit with 0 (were $status1 and $status2)"
    for n in 1 2; do
      wait_for_record "$root/record$n.txt"
    done
    check '[[ -f $root/record1.txt && -f $root/record2.txt ]]' "both next stages ran"
    check '[[ $(grep -h "^arg.CleanUp=" "$root"/record?.txt | sort -u | wc -l) == 2 ]]' "two scripts"
    check '[[ $(grep -h "^current_dir=" "$root"/record?.txt | sort -u | wc -l) == 2 ]]' "two work folders"
    check 'grep -q "^remainder=-run1$" "$root/record1.txt" && grep -q "^remainder=-run2$" "$root/record2.txt"' \
      "each next stage got its own launcher's arguments"
    check 'wait_until_empty' "after both clean-ups nothing is left in the temporary folder"
    ;;
  dll-planting)
    # Libraries named like system ones beside the launcher, and Wine told to prefer such
    # native files: the launcher must load none of them.
    planted_dir=$(dirname "$helper")/planted
    cp "$planted_dir"/*.dll "$root/"
    cp "$helper" "$root/e2e_helper.exe"
    names=$(cd "$planted_dir" && ls *.dll | sed 's/\.dll$//' | paste -sd, -)
    export WINEDLLOVERRIDES="mscoree,mshtml=;$names=n,b"
    export VX_PLANTED_LOG="$win_root\\loaded.txt"
    log=$root/loaded.txt
    # The control: a program that loads a library by name takes the planted one.
    wine "$win_root\\e2e_helper.exe" load uxtheme.dll
    check 'grep -qi "uxtheme.dll" "$log" 2>/dev/null' "the planted libraries do load where nothing prevents it"
    rm -f "$log"
    run_launcher "-planted"
    check '[[ $status == 0 ]]' "exit code 0 (was $status)"
    check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    check '[[ ! -s $log ]]' "the launcher loaded none of them ($(tr '\r\n' '  ' < "$log" 2>/dev/null))"
    ;;
  stage-planting)
    # A program named like the next stage beside the launcher, where a search by bare name
    # looks first (a Downloads folder): it must not run, and the unpacked one must.
    cp "$(dirname "$helper")/planted_stage/Vistart.exe" "$root/Vistart.exe"
    export VX_PLANTED_LOG="$win_root\\planted.txt"
    args='-planted "stage"'
    run_launcher "$args"
    check '[[ $status == 0 ]]' "exit code 0 (was $status)"
    wait_for_record "$record"
    expected="Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None Wnd=Maximized ResourceFile=\"$launcher\" CleanUp=\"${temp_win}0.bat\" $args"
    check 'grep -qxF "full_command_line=$expected" "$record"' "the unpacked next stage ran with the command line byte for byte"
    check 'grep -qxF "current_dir=${temp_win}VAVOdozu0" "$record"' "in the work folder"
    check '[[ ! -e $root/planted.txt ]]' "the planted program did not run ($(tr '\r\n' '  ' < "$root/planted.txt" 2>/dev/null))"
    check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    ;;
  stage-not-a-program)
    # The unpacked next stage is no program (damaged, or replaced by a security program):
    # the start fails, and that is said and undone.
    python3 "$here/damage_archive.py" "$zvsetup" SETUPBASE "$root/zvsetup.exe" Vistart.exe || exit 1
    run_launcher_expecting_box
    check '[[ $status == 7 ]]' "exit code 7 (was $status)"
    check 'grep -q "Setup could not start the installation program" "$root/box.txt"' "one clear message"
    check 'grep -q "Vistart.exe" "$root/box.txt"' "the message names the program"
    check '[[ -z $(ls -A "$temp_unix") ]]' "nothing left in the temporary folder"
    check '[[ ! -f $record ]]' "no next stage ran"
    ;;
  stage-swap)
    # A program of the user that overwrites the next stage as soon as the launcher has written
    # it (has gone on to the next entry, ZvSetupEngine.dll): the launcher holds the program
    # from then until its start has returned, so every try is refused, and the unpacked
    # program runs. (The moment between the launcher's write and its hold is the protected
    # work folder's to cover, which Wine does not enforce.)
    wine "$helper" swap-stage "$temp_win" ZvSetupEngine.dll "$win_root\\record.txt" 60000 \
      >"$root/swap.txt" &
    swap_pid=$!
    sleep 1
    args='-swapped "stage"'
    VX_E2E_DETACHED=1 run_launcher "$args"
    wait "$swap_pid"
    swap_status=$?
    check '[[ $status == 0 ]]' "exit code 0 (was $status)"
    check '[[ $swap_status == 0 ]]' "every try to overwrite the program was refused ($(tr -d '\r' <"$root/swap.txt"))"
    wait_for_record "$record"
    expected="Vistart.exe ZVSetup SetupProgram=ZVPict Lite=Yes Wnd=Normal Server=None Wnd=Maximized ResourceFile=\"$launcher\" CleanUp=\"${temp_win}0.bat\" $args"
    check 'grep -qxF "full_command_line=$expected" "$record"' "the unpacked next stage ran with the command line byte for byte"
    check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    ;;
  held-removal)
    # A next stage that cannot start (exit 7) while a security program holds one of the
    # unpacked files without sharing for 1.5 s: the removals are tried again until it lets go.
    python3 "$here/damage_archive.py" "$zvsetup" SETUPBASE "$root/zvsetup.exe" Vistart.exe || exit 1
    export VX_E2E_TIMES="$win_root\\times.txt" VX_E2E_DETACHED=1
    wine "$helper" hold "$temp_win" ZvCrt.dll 1500 &
    hold_pid=$!
    sleep 1
    run_launcher_expecting_box
    wait "$hold_pid"
    hold_status=$?
    moment() { awk -v what="$1" '$1 == what {print $2 + 0; exit}' "$root/times.txt" 2>/dev/null; }
    started=$(moment started) held=$(moment held) released=$(moment released) ended=$(moment ended)
    echo "     (ms after the start: file held ${held:+$((held - started))}, let go" \
      "${released:+$((released - started))}, launcher ended after its message ${ended:+$((ended - started))})"
    check '[[ $status == 7 ]]' "exit code 7 (was $status)"
    check '[[ $hold_status == 0 && -n $released ]]' "an unpacked file was held for 1.5 s"
    check '(( ${ended:-0} >= ${released:-999999999} ))' "the launcher ended only after the hold"
    check '[[ -z $(ls -A "$temp_unix") ]]' "nothing left in the temporary folder"
    check '[[ ! -f $record ]]' "no next stage ran"
    ;;
  stage-slow-start)
    # A next stage that is busy for 2 s before it first asks for a message (a slow PC): the
    # launcher waits for it as WinExec did, so the splash stays up meanwhile, and then ends
    # soon after. All moments are the session's millisecond ticks (planted_log.h).
    cp "$(dirname "$helper")/slow_stage/zvsetup.exe" "$root/zvsetup.exe"
    export VX_E2E_TIMES="$win_root\\times.txt"
    wine "$helper" watch-splash 60000 &
    watch_pid=$!
    sleep 1
    run_launcher "-slow"
    wait "$watch_pid"
    wait_for_record "$record"
    moment() { awk -v what="$1" '$1 == what {print $2 + 0; exit}' "$root/times.txt" 2>/dev/null; }
    started=$(moment started) idle=$(moment stage-idle) up=$(moment splash-up)
    gone=$(moment splash-gone) ended=$(moment ended)
    check '[[ $status == 0 ]]' "exit code 0 (was $status)"
    since() { [[ -n $1 && -n $started ]] && echo $(($1 - started)) || echo none; }
    echo "     (ms after the start: splash up $(since "$up"), next stage waits for input" \
      "$(since "$idle"), splash gone $(since "$gone"), launcher ended $(since "$ended"))"
    started=${started:--999999} idle=${idle:-999999} up=${up:-999999} gone=${gone:--999999}
    ended=${ended:--999999}
    check '(( idle - started >= 1900 ))' "the next stage was busy for 2 s"
    # The splash comes up before the next stage is even started, which then is busy for 2 s:
    # up a second before the stage's first wait for input, whatever the machine's load (under
    # load the splash alone took 1.9 s to come up).
    check '(( up + 1000 < idle ))' "the splash was up while the next stage was busy"
    check '(( gone + 50 >= idle ))' "the splash went once the next stage waited for input"
    check '(( ended >= idle && ended - idle <= 5500 ))' \
      "the launcher ended after that, within its final wait of at most 5 s"
    check 'grep -qxF "current_dir=${temp_win}VAVOdozu0" "$record"' "the next stage ran in the work folder"
    check 'wait_until_empty' "after clean-up nothing is left in the temporary folder"
    ;;
  *)
    echo "run_e2e: unknown scenario $scenario" >&2
    exit 2
    ;;
esac
if ((failures > 0)); then
  echo "== $scenario: $failures check(s) failed; files left:"
  find "$root" | head -n 40
  exit 1
fi
rm -rf "$root"
exit 0
