#!/usr/bin/env bash
# The setup build's figures: scripts/build-setup.sh writing the sample payload into a
# ready-built stub (--stub) against the CMake route (configure and cross build in a fresh
# folder), same machine, same run, same payload; and the setup's size at zlib level 6 (the
# tree's own builds) and at --best (build-setup.sh's default).
# usage: bash bench/setup_build_bench.sh [--arch win32|win64]
#   The stub and the next stage come from build/ARCH (built there when out of date); the host
#   zvpack from build/zvpack-host (built when missing). Wall times on a machine that may be
#   busy: compare the ratios of one run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=win32
[[ ${1:-} != --arch ]] || arch=${2:?}
jobs=$(nproc)
((jobs <= 2)) || jobs=2

work=$(mktemp -d "$root/build/setup-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

zvpack=$root/build/zvpack-host/tools/zvpack/zvpack
if [[ ! -x $zvpack ]]; then
  cmake -S "$root" -B "$root/build/zvpack-host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF \
    -DVX_BENCHMARKS=OFF -DVX_SANITIZE=OFF >/dev/null
  cmake --build "$root/build/zvpack-host" --target zvpack -j "$jobs" >/dev/null
fi
[[ -f build/$arch/CMakeCache.txt ]] || cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" --target zvsetup_stub vistart pidwait -j "$jobs" >/dev/null
stub=$root/build/$arch/launcher/zvsetup-stub.exe

# The next stage from the stub's own build: zvpack refuses programs for another machine.
python3 payload/make_sample_payload.py --out "$work/payload" --vistart "build/$arch/next_stage/Vistart.exe" \
  --pidwait "build/$arch/next_stage/pidwait.exe" >/dev/null

seconds() {  # runs the command, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >"$work/log" 2>&1 || { tail -n 20 "$work/log" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }' 
}
size() { stat -c %s "$1"; }

stub_best=$(seconds scripts/build-setup.sh --stub "$stub" --payload "$work/payload" --zvpack "$zvpack" --out "$work/stub-best.exe")
stub_six=$(seconds scripts/build-setup.sh --stub "$stub" --payload "$work/payload" --zvpack "$zvpack" --level 6 --out "$work/stub-6.exe")
cmake_best=$(seconds scripts/build-setup.sh --arch "$arch" --payload "$work/payload" --zvpack "$zvpack" --jobs "$jobs" \
  --build-dir "$work/cmake" --out "$work/cmake-best.exe")

printf '\nsetup build (%s, sample payload, %s jobs)\n' "$arch" "$jobs"
printf '  %-46s %8s s %10s bytes\n' "build-setup.sh --stub (--best)" "$stub_best" "$(size "$work/stub-best.exe")"
printf '  %-46s %8s s %10s bytes\n' "build-setup.sh --stub --level 6" "$stub_six" "$(size "$work/stub-6.exe")"
printf '  %-46s %8s s %10s bytes\n' "build-setup.sh CMake route, fresh folder (--best)" "$cmake_best" "$(size "$work/cmake-best.exe")"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
printf '  stub route / CMake route: %s\n' "$(ratio "$stub_best" "$cmake_best")"
printf '  setup at --best / at -6: %s\n' "$(ratio "$(size "$work/stub-best.exe")" "$(size "$work/stub-6.exe")")"
