#!/usr/bin/env bash
# startup_probe_test.sh WINE_RUN PROBE BASELINE: the start-up watcher under Wine. It must see
# the baseline's window and its first paint no earlier than the baseline's own clock says it
# ended and soon after, pass the exit code on, and write "none" for what never showed; the
# baseline must note when its window goes, before the end that the watcher sees.
# Needs WINEPREFIX with a running session (scripts/wine-session.sh).
set -uo pipefail
wine_run=$1 probe=$2 baseline=$3
: "${WINEPREFIX:?}"

root=$WINEPREFIX/drive_c/startup-probe-test
win_root='C:\startup-probe-test'
rm -rf "$root"
mkdir -p "$root"
cp "$baseline" "$root/first_paint_window.exe"

failures=0
check() {  # condition text, description
  if eval "$1"; then echo "ok   $2"; else echo "FAIL $2"; failures=$((failures + 1)); fi
}
key() { sed -n "s/^$1=//p" "$2" | tr -d '\r'; }
# a - b in milliseconds, or "none" when either is missing
minus() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || a == "none" || b == "none") print "none"; else printf "%.3f", a - b }'; }
# value low high: value is a number from low up to below high
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v != "none" && v >= lo && v < hi) }'; }

timeout -k 5 60 "$wine_run" "$probe" time "$win_root\\tmp\\" "$win_root\\seen.txt" \
  "\"$win_root\\first_paint_window.exe\" $win_root\\own.txt" >/dev/null 2>&1
status=$?
seen=$root/seen.txt own=$root/own.txt
check '[[ $status == 0 && -f $seen && -f $own ]]' "the probe and the baseline ran (probe exit $status)"
check '[[ $(key exit_code "$seen") == 0 ]]' "the baseline's exit code is passed on"
check '[[ -d $root/tmp ]]' "the temporary folder is made"
window=$(minus "$(key window_ms "$seen")" "$(key start_ms "$seen")")
painted=$(minus "$(key paint_ms "$seen")" "$(key window_ms "$seen")")
late=$(minus "$(key paint_ms "$seen")" "$(key paint_ms "$own")")
check 'within "$window" 0 60000' "the window is seen after the start ($window ms)"
check 'within "$painted" 0 60000' "the paint is seen once the window is ($painted ms later)"
# The baseline takes its clock right after EndPaint, so the screen may show the stripes a
# moment before; a watcher that misses the paint would see it only after the window is gone.
check 'within "$late" -5 400' "the paint is seen as the baseline paints ($late ms after its own clock)"
# The baseline keeps its window half a second, then notes the moment it destroys it.
kept=$(minus "$(key gone_ms "$own")" "$(key paint_ms "$own")")
ended=$(minus "$(key exit_ms "$seen")" "$(key gone_ms "$own")")
check 'within "$kept" 450 60000' "the baseline notes its window's end after half a second ($kept ms)"
check 'within "$ended" 0 60000' "the baseline's end is seen after its window's ($ended ms later)"

# No argument: the baseline exits 2 without a window.
timeout -k 5 60 "$wine_run" "$probe" time "$win_root\\tmp\\" "$win_root\\none.txt" \
  "\"$win_root\\first_paint_window.exe\"" >/dev/null 2>&1
none=$root/none.txt
check '[[ $(key exit_code "$none") == 2 ]]' "a failing program's exit code is passed on"
check '[[ $(key window_ms "$none") == none && $(key paint_ms "$none") == none ]]' \
  "no window: window_ms and paint_ms are none"

timeout -k 5 60 "$wine_run" "$probe" time >/dev/null 2>&1
check '[[ $? == 2 ]]' "a usage error exits 2"

if ((failures > 0)); then
  echo "== startup_probe: $failures check(s) failed"
  exit 1
fi
rm -rf "$root"
exit 0
