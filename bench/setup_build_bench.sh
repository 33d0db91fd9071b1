#!/usr/bin/env bash
# The setup build's figures: scripts/build-setup.sh writing the sample payload into a
# ready-built stub (--stub) against the CMake route (configure and cross build in a fresh
# folder), same machine, same run, same payload; and the setup's size at zlib level 6 (the
# tree's own builds) and at --best (build-setup.sh's default).
# With --release-payload: instead, "zvpack setup" at --best and at -6 on a release engineer's
# kind of payload made here from the machine's own programs and libraries (about 366 MB:
# nested folders, names with blanks and accents, six empty files); with --arch win64 also the
# win64 build's zvpack.exe under wine64 (a prefix of its own, booted before the timing), on the
# same payload in the same run, and whether it wrote the host's bytes.
# usage: bash bench/setup_build_bench.sh [--arch win32|win64] [--release-payload]
#   The stub and the next stage come from build/ARCH (built there when out of date); the host
#   zvpack from build/zvpack-host (built when missing), or ZVPACK. Wall times on a machine that may be
#   busy: compare the ratios of one run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=win32 release_payload=0
while (($#)); do
  case $1 in
    --arch) arch=${2:?}; shift 2 ;;
    --release-payload) release_payload=1; shift ;;
    *) echo "usage: bash bench/setup_build_bench.sh [--arch win32|win64] [--release-payload]" >&2; exit 1 ;;
  esac
done
jobs=$(nproc)
((jobs <= 2)) || jobs=2

work=$(mktemp -d "$root/build/setup-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

zvpack=${ZVPACK:-$root/build/zvpack-host/tools/zvpack/zvpack}
if [[ ! -x $zvpack ]]; then
  cmake -S "$root" -B "$root/build/zvpack-host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF \
    -DVX_BENCHMARKS=OFF -DVX_SANITIZE=OFF >/dev/null
  cmake --build "$root/build/zvpack-host" --target zvpack -j "$jobs" >/dev/null
fi
[[ -f build/$arch/CMakeCache.txt ]] || cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" --target zvsetup_stub vistart pidwait -j "$jobs" >/dev/null
stub=$root/build/$arch/launcher/zvsetup-stub.exe

seconds() {  # runs the command, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >"$work/log" 2>&1 || { tail -n 20 "$work/log" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }'
}
size() { stat -c %s "$1"; }

# The machine's programs and libraries of 1 to 40 MB in path order, up to 366 MB (112 files on
# a Debian 12 machine with the build's packages), spread
# over the eight archives under nested folders with blanks and accents, six empty files, and
# the next stage of the stub's build.
make_release_payload() {
  local dir=$1 n=0 total=0 name
  for name in BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION; do mkdir -p "$dir/$name"; done
  cp "build/$arch/next_stage/Vistart.exe" "build/$arch/next_stage/pidwait.exe" "$dir/SETUPBASE/"
  local folders=("APPBASE/Program Files/Zelvora Café" "APPBASE/Program Files/Zelvora Café/Plug-ins/Éditions"
    "APPBASE/Common Files/Données partagées" "BASE" "ZVIMAGE/Bibliothèques" "PICTUNINST" "SETUPPICTLITE/Aperçu")
  while IFS= read -r -d '' lib; do
    local bytes
    bytes=$(stat -c %s "$lib")
    ((total + bytes <= 366000000 && n < 120)) || continue
    local folder=${folders[$((n % ${#folders[@]}))]}
    mkdir -p "$dir/$folder"
    cp "$lib" "$dir/$folder/lib $n $(basename "$lib").dll"
    n=$((n + 1)) total=$((total + bytes))
  done < <(find /usr/lib /usr/bin /usr/libexec -type f -size +1M -size -40M -print0 2>/dev/null | sort -z)
  for i in 1 2 3 4 5 6; do : >"$dir/${folders[$((i % ${#folders[@]}))]}/leer $i.txt"; done
  printf 'Zelvora %s\n' 1.2.0.0 >"$dir/ZVVERSION/version.txt"
  printf '{\\rtf1 Licence}\n' >"$dir/PICTLITE/Licence.rtf"
  echo "$((n + 10)) files, $(du -sb --apparent-size "$dir" | cut -f1) bytes"
}

# zvpack.exe under a wine64 session of a prefix in the scratch folder, ended at exit.
start_wine() {
  cmake --build --preset win64 --target zvpack -j "$jobs" >/dev/null
  export WINEPREFIX=$work/wineprefix
  unset DISPLAY
  trap 'scripts/wine-session.sh stop; rm -rf "$work"' EXIT
  scripts/wine-session.sh start
}

if ((release_payload)); then
  described=$(make_release_payload "$work/release")
  best=$(seconds "$zvpack" setup -q --best --stub "$stub" --payload "$work/release" --out "$work/best.exe")
  six=$(seconds "$zvpack" setup -q -6 --stub "$stub" --payload "$work/release" --out "$work/six.exe")
  printf '\nzvpack setup, release payload (%s; %s, %s cores)\n' "$described" "$arch" "$(nproc)"
  printf '  %-30s %8s s %10s bytes\n' "zvpack --best" "$best" "$(size "$work/best.exe")" "zvpack -6" "$six" "$(size "$work/six.exe")"
  if [[ $arch == win64 ]]; then
    start_wine
    windows_zvpack=(cmake/wine-run.sh "$root/build/win64/tools/zvpack/zvpack.exe")
    best=$(seconds "${windows_zvpack[@]}" setup -q --best --stub "$stub" --payload "$work/release" --out "$work/best-windows.exe")
    six=$(seconds "${windows_zvpack[@]}" setup -q -6 --stub "$stub" --payload "$work/release" --out "$work/six-windows.exe")
    same() { cmp -s "$1" "$2" && echo "the host's bytes" || echo "NOT the host's bytes"; }
    printf '  %-30s %8s s %10s bytes, %s\n' "zvpack.exe under wine64 --best" "$best" "$(size "$work/best-windows.exe")" \
      "$(same "$work/best.exe" "$work/best-windows.exe")" \
      "zvpack.exe under wine64 -6" "$six" "$(size "$work/six-windows.exe")" "$(same "$work/six.exe" "$work/six-windows.exe")"
  fi
  exit 0
fi

# The next stage from the stub's own build: zvpack refuses programs for another machine.
python3 payload/make_sample_payload.py --out "$work/payload" --vistart "build/$arch/next_stage/Vistart.exe" \
  --pidwait "build/$arch/next_stage/pidwait.exe" >/dev/null


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
