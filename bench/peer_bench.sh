#!/usr/bin/env bash
# The launcher beside a peer installer on the same files. Setups made by "zvpack setup" (at -6
# and at --best, from the build's own stub and host zvpack) and by NSIS's makensis (zlib, each
# file a stream of its own as in ours, and LZMA solid; silent, unpacking the five archives'
# files into a fresh folder in the temporary folder, as ours does) from the sample payload and
# real Windows libraries (the 32-bit Wine root's PE DLLs), run in turns with the start-up
# bench's trivial dialog under the 32-bit Wine, each timed by startup_probe from just before
# CreateProcess. Prints the sizes, the build times, the medians to unpacked (ours: its next
# stage's start; NSIS: its end) and to the process's end with their ratios to NSIS zlib, the
# launcher's end after its next stage's start beside the trivial dialog's after its window
# goes, and whether the targets are met.
# usage: bash bench/peer_bench.sh [--mib N] [--runs N] [--unmanaged]
#   --mib N      MiB of libraries added to the sample payload (100)
#   --runs N     timed runs of each setup and of the dialog, after one warm-up run (5)
#   --unmanaged  Wine's X11 driver told to leave the windows to no window manager (the
#                prefix's "HKCU\Software\Wine\X11 Driver" Managed=N): hiding a window then
#                waits for none
# Installs NSIS first (scripts/setup.sh --bench) and builds what it needs in build/win32. Where
# this kernel runs no 32-bit code it takes the x86-64 twin (build/win64) under wine64 instead:
# NSIS's setups are x86 only, so they are built (sizes, build times) but not run, and only
# ours' times and ends are shown. Wall times on a machine that may be busy: compare the ratios
# of one run.
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: bash bench/peer_bench.sh [--mib N] [--runs N] [--unmanaged]"
mib=100 runs=5 unmanaged=0
while (($#)); do
  case $1 in
    --mib) mib=${2:?$usage}; shift 2 ;;
    --runs) runs=${2:?$usage}; shift 2 ;;
    --unmanaged) unmanaged=1; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
  echo "peer: --runs $runs: not a number of runs (1 or more)" >&2
  exit 2
fi
if ! [[ $mib =~ ^[0-9]+([.][0-9]+)?$ ]]; then
  echo "peer: --mib $mib: not an amount of MiB (a number, at least 0)" >&2
  exit 2
fi

bash scripts/setup.sh --bench
if why=$(bash scripts/wine32-root.sh check); then
  arch=win32 run_nsis=1
else
  arch=win64 run_nsis=0
  echo "peer: $why; the x86-64 twin under wine64, NSIS's x86 setups built but not run" >&2
fi
build=build/$arch
echo "peer: building $build" >&2
[[ -f $build/CMakeCache.txt ]] || cmake --preset "$arch" >/dev/null
# The host zvpack of the build: VX_ZVPACK when the build was given one, else its own.
zvpack=$(sed -n 's/^VX_ZVPACK:FILEPATH=//p' "$build/CMakeCache.txt") tools=
if [[ -z $zvpack ]]; then
  zvpack=$build/host-tools/tools/zvpack/zvpack tools=vx_host_tools
fi
cmake --build --preset "$arch" -j 2 --target zvsetup_stub vistart pidwait startup_probe first_paint_window \
  $tools >/dev/null
source bench/probe_runs.sh
probe_choose_wine peer "$build"
probe_exe=$build/bench/startup_probe.exe

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
payload=$work/payload setups=$work/setups figures=$work/figures
mkdir -p "$setups" "$figures"
echo "peer: the payload, the sample one and $mib MiB of libraries" >&2
python3 -B payload/make_sample_payload.py --out "$payload" --vistart "$build/next_stage/Vistart.exe" \
  --pidwait "$build/next_stage/pidwait.exe" >/dev/null
libraries=$(python3 -B bench/peer_payload.py "$payload" "$(bash scripts/wine32-root.sh path)" "$mib")
unpacked=(BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE)
# "FILES BYTES" of the five unpacked archives, from their lists.
payload_files() {
  local archive
  for archive in "${unpacked[@]}"; do grep -v '^#' "$payload/$archive.list" | cut -f2 | sed "s|^|$payload/|"; done |
    tr '\n' '\0' | xargs -0 stat -c %s | awk '{ n++; s += $1 } END { print n + 0, s + 0 }'
}
expected=$(payload_files)
described="the sample payload and $libraries from the 32-bit Wine root; ${expected% *} files, ${expected#* } bytes to unpack"

# make_setup KEY LABEL OUT COMMAND...: runs COMMAND, which writes the setup OUT, and notes its
# size and wall time in builds.txt.
make_setup() {
  local key=$1 label=$2 out=$3 start end
  shift 3
  echo "peer: making $label" >&2
  start=$(date +%s.%N)
  "$@" >"$work/build.log" 2>&1 || { tail -n 20 "$work/build.log" >&2; exit 1; }
  end=$(date +%s.%N)
  printf '%s\t%s\t%s\t%s\n' "$key" "$label" "$(stat -c %s "$out")" "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')" \
    >>"$figures/builds.txt"
}
stub=$build/launcher/zvsetup-stub.exe
make_setup six "zvpack -6" "$setups/six.exe" "$zvpack" setup -q -6 --stub "$stub" --payload "$payload" --out "$setups/six.exe"
make_setup best "zvpack --best" "$setups/best.exe" \
  "$zvpack" setup -q --best --stub "$stub" --payload "$payload" --out "$setups/best.exe"
for compressor in zlib lzma-solid; do
  key=${compressor%-solid}
  python3 -B bench/nsis_script.py "$payload" "$compressor" "$setups/$key.exe" >"$work/$key.nsi"
done
make_setup zlib "NSIS zlib" "$setups/zlib.exe" makensis -V2 "$work/zlib.nsi"
make_setup lzma "NSIS lzma solid" "$setups/lzma.exe" makensis -V2 "$work/lzma.nsi"

probe_start_session peer "$work"
if ((unmanaged)); then
  probe_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
fi
win_root='C:\peer'
root=$WINEPREFIX/drive_c/peer
mkdir -p "$root"
cp "$build/bench/first_paint_window.exe" "$setups"/{six,best}.exe "$root/"
((run_nsis)) && cp "$setups"/{zlib,lzma}.exe "$root/"
programs=(baseline six best)
((run_nsis)) && programs+=(zlib lzma)

# run_program N KEY: one run of the dialog or of a setup, with a temporary folder of its own;
# the observations are N-numbered files in C:\peer.
run_program() {
  local n=$1 key=$2 tmp="$win_root\\tmp-$2-$1" folder="$root/tmp-$2-$1"
  case $key in
    baseline)
      probe_time "$probe_exe" "$tmp\\" "$win_root\\baseline-$n.txt" \
        "\"$win_root\\first_paint_window.exe\" $win_root\\baseline-self-$n.txt" ;;
    six|best)
      ZELVORA_STAGE_RECORD="$win_root\\$key-record-$n.txt" probe_time "$probe_exe" "$tmp\\" "$win_root\\$key-$n.txt" \
        "$win_root\\$key.exe"
      probe_wait_empty "$folder" 60 || echo "peer: run $n of $key: its clean-up left $(ls -A "$folder")" >&2 ;;
    *)
      probe_time "$probe_exe" "$tmp\\" "$win_root\\$key-$n.txt" "$win_root\\$key.exe"
      check_unpacked "$n" "$key" "$folder"
      rm -rf "$folder" ;;
  esac
}

# check_unpacked N KEY FOLDER: an NSIS setup's run put as many files and bytes into its folder
# as the five archives hold; the bench stops otherwise.
check_unpacked() {
  local found
  found=$(find "$3" -type f -printf '%s\n' 2>/dev/null | awk '{ n++; s += $1 } END { print n + 0, s + 0 }')
  if [[ $found != "$expected" ]]; then
    echo "peer: run $1 of $2 unpacked $found (files, bytes), not $expected" >&2
    exit 1
  fi
}

# Each run starts with another program, so that what one leaves behind falls on each alike;
# run 0 is a warm-up (the first run of each program in a fresh prefix loads it from disk).
echo "peer: $runs runs of ${#programs[@]} programs under $probe_wine_name" >&2
for n in $(seq 0 "$runs"); do
  for i in "${!programs[@]}"; do
    run_program "$n" "${programs[$(((i + n) % ${#programs[@]}))]}"
  done
done
cp "$root"/*.txt "$figures/"
((unmanaged)) && described="$described; windows unmanaged (Managed=N)"
python3 -B bench/peer_figures.py "$figures" "$runs" "$probe_wine_name" "$described" "$mib"
