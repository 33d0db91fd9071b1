#!/usr/bin/env bash
# Main job: builds the launcher (the i686 product and its x86-64 twin), runs the product under
# the 32-bit Wine of its own root (the twin under wine64 where this machine's kernel runs no
# 32-bit code) on a virtual display with a temporary folder of its own, and shows what it did: the
# splash as it was on the screen, the work folder it filled, the clean-up script, the command
# line the next stage received, the exit code, and that after the clean-up nothing of the run
# is left in the temporary folder. Everything it makes stays in build/run/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh
jobs=$(nproc)
out=$root/build/run
rm -rf "$out"
mkdir -p "$out"
for preset in win32 win64; do
  echo "run: building $preset (log: build/run/build-$preset.log)"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$jobs"; } >"$out/build-$preset.log" 2>&1; then
    tail -n 30 "$out/build-$preset.log"
    echo "run: the $preset build failed" >&2
    exit 1
  fi
done
product=build/win32/launcher/zvsetup.exe
# What runs: the product under the 32-bit Wine, else its twin under wine64.
if why=$(scripts/wine32-root.sh check); then
  arch=win32 wine_name="the 32-bit Wine" wine_run=$root/cmake/wine32-run.sh
else
  echo "run: $why; running the x86-64 twin under wine64 instead"
  arch=win64 wine_name=wine64 wine_run=$root/cmake/wine-run.sh
fi
launcher=build/$arch/launcher/zvsetup.exe
probe=build/$arch/bench/startup_probe.exe
zvpack=$(find build/win32/host-tools -name zvpack -type f -perm -u+x | head -n 1)

section() { printf '\n== %s\n' "$1"; }

section "The product: $product"
i686-w64-mingw32-objdump -p "$product" | grep -E 'file format|^Subsystem|DLL Name' | sed 's/^\s*/  /'
echo "  exports: $(i686-w64-mingw32-objdump -p "$product" | grep -cE '^\s+\[\s*[0-9]+\] \?') decorated names of the string class"
echo "  size: $(stat -c %s "$product") bytes with the payload"
"$zvpack" list "$product" | grep -E '^(ZVArc|\S+:)|entries' | sed 's/^/  /' || true

# A fresh Wine prefix and display for this run; the wineserver ends with the script.
export WINEPREFIX=$out/wineprefix
export WINEDEBUG=-all
scripts/wine-session.sh start "$arch" >/dev/null
trap "scripts/wine-session.sh stop $arch" EXIT
source "$WINEPREFIX.session"
export DISPLAY=${display:-$DISPLAY}

demo=$WINEPREFIX/drive_c/demo
mkdir -p "$demo/tmp"
cp "$launcher" "$demo/zvsetup.exe"
export ZELVORA_STAGE_RECORD='C:\demo\record.txt'

# While the launcher unpacks, the splash is up: photograph the screen as soon as the work
# folder appears, and keep a listing of the folder once the script is complete.
(
  for _ in $(seq 600); do [[ -d $demo/tmp/VAVOdozu0 ]] && break; sleep 0.02; done
  import -window root "$out/splash.png" 2>/dev/null || true
  for _ in $(seq 600); do
    if [[ -f $demo/tmp/0.bat ]] && tail -n 1 "$demo/tmp/0.bat" | grep -q '0.bat'; then
      (cd "$demo/tmp" && find . -mindepth 1 | sort) >"$out/work-folder.txt"
      break
    fi
    sleep 0.02
  done
) &
watcher=$!

section "Running $launcher under $wine_name: zvsetup.exe /demo \"with arguments\""
# The start-up probe starts it (TMP and TEMP set as for the launcher's tests) and notes the
# moment before CreateProcess, the splash's first painted pixels and the launcher's end.
start=$(date +%s.%N)
set +e
"$wine_run" "$probe" time 'C:\demo\tmp\' 'C:\demo\times.txt' \
  'C:\demo\zvsetup.exe /demo "with arguments"' >"$out/console.log" 2>&1
set -e
end=$(date +%s.%N)
wait "$watcher" || true

for _ in $(seq 300); do [[ -f $demo/record.txt ]] && grep -q '^exit_code=' "$demo/record.txt" && break; sleep 0.1; done
record=$demo/record.txt
[[ -f $record ]] && cp "$record" "$out/next-stage-record.txt"
times=$demo/times.txt
[[ -f $times ]] && tr -d '\r' <"$times" >"$out/launcher-times.txt"
value() { sed -n "s/^$1=//p" "$2" 2>/dev/null | tr -d '\r'; }
status=$(value exit_code "$out/launcher-times.txt")
status=${status:-99}
# ms from the moment named by key $1 in file $2 to the one named by key $3 in file $4
between() {
  local from to
  from=$(value "$1" "$2") to=$(value "$3" "$4")
  if [[ -z $from || $from == none || -z $to || $to == none ]]; then echo "(not seen)"; return; fi
  awk -v a="$from" -v b="$to" 'BEGIN { printf "%.0f ms", b - a }'
}
# ms from the launcher's start to the moment named in file $2 by key $1
since_start() { between start_ms "$out/launcher-times.txt" "$1" "$2"; }
echo "  exit code: $status (0: the next stage was started)"
echo "  the launcher's own times, from its start:"
echo "    splash painted       $(since_start paint_ms "$out/launcher-times.txt")"
echo "    next stage started   $(since_start start_ms "$out/next-stage-record.txt")"
echo "    launcher ended       $(since_start exit_ms "$out/launcher-times.txt")"
echo "    of that, after the next stage's start: $(between start_ms "$out/next-stage-record.txt" exit_ms \
  "$out/launcher-times.txt"); up to 2 s of it are Wine's, whose X11"
echo "    driver waits that long for a window manager to take the hidden splash away, and a virtual"
echo "    display has none (a trivial dialog ends as late after its window goes: bench/startup_bench.sh)"
echo "  the Wine round trip (starting wine, the run, wine's shutdown): $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }') s"

section "The splash, photographed while the archives were unpacked"
if [[ -f $out/splash.png ]]; then echo "  $out/splash.png"; else echo "  (no screenshot taken)"; fi

section "The work folder, when the script was complete (C:\\demo\\tmp\\)"
if [[ -f $out/work-folder.txt ]]; then
  echo "  $(grep -c . "$out/work-folder.txt") files and folders, among them:"
  grep -E '^\./(0\.bat|VAVOdozu0(/[^/]+)?)$' "$out/work-folder.txt" | head -n 14 | sed 's/^/    /'
  echo "    ... (all in $out/work-folder.txt)"
fi

if [[ -f $record ]]; then
  section "The clean-up script (as the next stage found it)"
  grep '^script_line=' "$record" | sed 's/^script_line=//' >"$out/cleanup-script.txt"
  head -n 5 "$out/cleanup-script.txt" | sed 's/^/  /'
  echo "  ... $(($(wc -l <"$out/cleanup-script.txt") - 8)) more lines ..."
  tail -n 3 "$out/cleanup-script.txt" | sed 's/^/  /'

  section "What the next stage (Vistart.exe) received"
  grep -E '^(full_command_line|current_dir|remainder|archive\.[A-Z]+\.(entries|check)|cleanup_command)=' "$record" |
    sed 's/^/  /'
else
  echo "  the next stage left no record"
fi

section "After the clean-up"
for _ in $(seq 300); do [[ -z $(ls -A "$demo/tmp") ]] && break; sleep 0.1; done
left=$(ls -A "$demo/tmp")
if [[ -z $left ]]; then
  echo "  the temporary folder is empty again: nothing of the run is left"
else
  echo "  left in the temporary folder: $left"
fi
echo
echo "Everything shown is kept in $out/."
[[ $status -eq 0 && -z $left ]]
