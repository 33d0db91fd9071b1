#!/usr/bin/env bash
# The performance figures in one command: builds the host-release preset, makes the sample
# payload at full and at tenfold size, and prints four tables, each a ratio against a
# baseline measured in the same run on the same data:
#   unpack  the five setup archives through the launcher's extraction code, against zlib's
#           one-call inflate with one write per file (the floor) and unzip -q of a zip -6;
#           with the payload check that the launcher runs before it writes anything, and
#           that check's share of the unpacking
#   pack    zvpack create on all cores, on one thread and zip -6 -r over the whole payload
#   best    zvpack create --best against -9: size and time, and the unpack table again on
#           the --best archives
#   size    the win32 product's size less its resources and its makeup by section and
#           library from the link map (tests/size/pe_makeup.py), when that build is configured
#   startup the win64 launcher under wine64 (bench/startup_bench.sh): its splash's first
#           paint and the next stage's start, against a trivial window's first paint; only
#           when wine is installed and the win64 build folder is configured
# usage: bash scripts/bench.sh
#   BENCH_BUILD_DIR    the build folder (default build/host-release)
#   BENCH_RUNS         unpack runs per way, the best counts (default 5 at full size, 3 at 10x)
#   BENCH_WIN64_DIR    the configured win64 build folder for the startup table (default
#                      build/win64); its three programs are built when out of date
#   BENCH_STARTUP_RUNS start-up runs of each program, the median counts (default 5)
#   BENCH_WIN32_DIR    the configured win32 build folder for the size makeup (default build/win32)
#   TMPDIR             where payloads, archives and unpacked files go; on tmpfs (/dev/shm) the
#                      unpack figures leave out the file system's own cost
# Every figure is wall time on a machine that may be busy: compare the ratios of one run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BENCH_BUILD_DIR:-build/host-release}
win64=${BENCH_WIN64_DIR:-build/win64}
runs=${BENCH_RUNS:-}
unpacked=(BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE)
for tool in zip unzip python3; do
  command -v "$tool" >/dev/null || { echo "bench.sh: $tool is not installed (scripts/setup.sh)" >&2; exit 1; }
done
[[ -f payload/make_sample_payload.py ]] || { echo "bench.sh: payload/make_sample_payload.py is missing" >&2; exit 1; }

echo "bench.sh: building $build" >&2
cmake --preset host-release -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target zvpack unpack_bench >/dev/null
zvpack=$build/tools/zvpack/zvpack

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
# seconds between two stamps
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
bytes_of() { du -sb --apparent-size "$@" | awk '{ s += $1 } END { print s }'; }

# pack ARCHIVE PAYLOAD NAME [zvpack options]: the payload's folder NAME in the order of its list.
pack() {
  local archive=$1 payload=$2 name=$3; shift 3
  "$zvpack" create --quiet "$@" "$archive" --list "$payload/$name.list"
}

# pack_folders OUT PAYLOAD [zvpack options]: one archive per payload folder; prints the seconds.
pack_folders() {
  local out=$1 payload=$2; shift 2
  mkdir -p "$out"
  local t0 dir name
  t0=$(now)
  for dir in "$payload"/*/; do
    name=$(basename "$dir")
    pack "$out/$name.zva" "$payload" "$name" "$@"
  done
  elapsed "$t0" "$(now)"
}

# zip_folders OUT PAYLOAD: one zip -6 per payload folder; prints the seconds.
zip_folders() {
  local out=$1 payload=$2
  mkdir -p "$out"
  local t0 dir name
  t0=$(now)
  for dir in "$payload"/*/; do
    name=$(basename "$dir")
    (cd "$payload/$name" && zip -6 -r -q "$out/$name.zip" .)
  done
  elapsed "$t0" "$(now)"
}

# The five unpacked archives and one zip of the same files.
unpack_table() {
  local scale=$1 payload=$2 dir=$work/unpack$1 name
  mkdir -p "$dir"
  for name in "${unpacked[@]}"; do
    pack "$dir/$name.zva" "$payload" "$name"
    (cd "$payload/$name" && zip -6 -r -q "$dir/payload.zip" .)
  done
  local n=${runs:-$([[ $scale == 1 ]] && echo 5 || echo 3)}
  "$build/bench/unpack_bench" --runs "$n" --label "${scale}x payload" "$dir" "$dir/payload.zip" "$work/out"
}

row() {  # label seconds bytes input-bytes base-seconds base-bytes
  awk -v l="$1" -v s="$2" -v b="$3" -v in_="$4" -v bs="$5" -v bb="$6" 'BEGIN {
    printf "  %-26s %8.3f s %8.1f MB/s %11d bytes  time x%5.2f  size x%6.4f\n",
      l, s, in_ / s / 1e6, b, s / bs, b / bb }'
}

pack_table() {
  local payload=$1 input
  input=$(bytes_of "$payload")
  local all one zipped nine best
  all=$(pack_folders "$work/all" "$payload")
  one=$(pack_folders "$work/one" "$payload" --threads 1)
  zipped=$(zip_folders "$work/zip" "$payload")
  nine=$(pack_folders "$work/nine" "$payload" -9)
  best=$(pack_folders "$work/best" "$payload" --best)
  local same=yes name
  for name in "$work"/all/*.zva; do
    cmp -s "$name" "$work/one/$(basename "$name")" || same=no
    "$zvpack" verify "$work/best/$(basename "$name")" >/dev/null
  done
  local zipBytes
  zipBytes=$(bytes_of "$work"/zip/*.zip)
  printf 'pack: %s, %d folders, %.2f MB; time and size against zip -6 -r\n' "$(basename "$payload")" \
    "$(ls "$work/all" | wc -l)" "$(awk -v b="$input" 'BEGIN { print b / 1e6 }')"
  row "zvpack create ($(nproc) cores)" "$all" "$(bytes_of "$work"/all/*.zva)" "$input" "$zipped" "$zipBytes"
  row "zvpack create --threads 1" "$one" "$(bytes_of "$work"/one/*.zva)" "$input" "$zipped" "$zipBytes"
  row "zip -6 -r" "$zipped" "$zipBytes" "$input" "$zipped" "$zipBytes"
  echo "  all cores and --threads 1 byte-identical: $same; --best archives verify"
  local nineBytes bestBytes
  nineBytes=$(bytes_of "$work"/nine/*.zva)
  bestBytes=$(bytes_of "$work"/best/*.zva)
  printf 'best: --best against -9 (%d cores); time and size against -9\n' "$(nproc)"
  row "zvpack create -9" "$nine" "$nineBytes" "$input" "$nine" "$nineBytes"
  row "zvpack create --best" "$best" "$bestBytes" "$input" "$nine" "$nineBytes"
  # What the smaller streams cost the launcher when it unpacks them.
  "$build/bench/unpack_bench" --runs 3 --label "10x payload, --best archives" "$work/best" \
    "$work/unpack10/payload.zip" "$work/out"
  rm -rf "$work/all" "$work/one" "$work/zip" "$work/nine" "$work/best"
}

for scale in 1 10; do
  echo "bench.sh: making the ${scale}x payload" >&2
  python3 payload/make_sample_payload.py --out "$work/payload${scale}x" --scale "$scale" >/dev/null
  unpack_table "$scale" "$work/payload${scale}x"
done
echo "bench.sh: packing" >&2
pack_table "$work/payload10x"

# The product's makeup: the same report as the size budget test's.
win32=${BENCH_WIN32_DIR:-build/win32}
if [[ -f $win32/CMakeCache.txt ]]; then
  echo "bench.sh: building the product in $win32" >&2
  cmake --build "$win32" -j "$(nproc)" --target zvsetup >/dev/null
  echo "size: the win32 product less its resource section"
  python3 tests/size/pe_makeup.py "$win32/launcher/zvsetup.exe" --map "$win32/launcher/zvsetup.map" | sed 's/^/  /'
else
  echo "size: skipped, it needs a configured win32 build in $win32 (cmake --preset win32 -B $win32)"
fi

# The Wine part needs no host figure; it runs last so that a missing Wine costs nothing.
if command -v wine >/dev/null && [[ -f $win64/CMakeCache.txt ]]; then
  echo "bench.sh: building the start-up programs in $win64" >&2
  cmake --build "$win64" -j "$(nproc)" --target zvsetup startup_probe first_paint_window >/dev/null
  bash bench/startup_bench.sh "$win64" "${BENCH_STARTUP_RUNS:-5}" || (($? == 77))
else
  echo "startup: skipped, it needs wine and a configured win64 build in $win64 (cmake --preset win64 -B $win64)"
fi
