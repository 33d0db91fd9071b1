#!/usr/bin/env bash
# Checks the setup build end to end with scripts/build-setup.sh, building only the payload
# probe program: a release payload folder goes in and comes out again byte for byte; two
# builds in two fresh folders, one given the folder and one a manifest naming the same
# folders, give the same executable; and so do two builds of the sample payload, which carry
# the next-stage programs compiled in each build.
# usage: scripts/check-setup-build.sh [--arch win32|win64] [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

arch=win64 keep=0
while (($#)); do
  case $1 in
    --arch) arch=${2:?}; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: scripts/check-setup-build.sh [--arch win32|win64] [--keep]" >&2; exit 1 ;;
  esac
done

work=$(mktemp -d "$root/build/setup-check.XXXXXX")
cleanup() { if ((keep)); then echo "kept $work"; else rm -rf "$work"; fi; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
jobs=$(nproc)
((jobs <= 2)) || jobs=2

# Every build reads one snapshot of the sources, so that edits made in the tree meanwhile
# cannot tell the builds apart.
src=$work/src
mkdir -p "$src"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$src" -xf -

# One host zvpack for all builds; the check is about the executables, not the tool.
echo "== host zvpack"
cmake -S "$src" -B "$work/host-tools" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF \
  -DVX_BENCHMARKS=OFF -DVX_SANITIZE=OFF >/dev/null
cmake --build "$work/host-tools" --target zvpack -j "$jobs" >/dev/null
zvpack=$work/host-tools/tools/zvpack/zvpack

# A release engineer's payload: plain folders, packed in name order. zvpack refuses a next
# stage that is no program, so small PE programs stand in for it (no build has made one yet).
python3 "$src/tools/zvpack/make_test_pe.py" "$work/Vistart.exe" i386
python3 "$src/tools/zvpack/make_test_pe.py" "$work/pidwait.exe" i386
python3 "$src/payload/make_sample_payload.py" --out "$work/payload" --scale 0.2 --vistart "$work/Vistart.exe" \
  --pidwait "$work/pidwait.exe"
rm "$work"/payload/*.list
manifest=$work/manifest/setup.manifest
mkdir -p "$(dirname "$manifest")"
for name in BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION; do
  echo "$name ../payload/$name"
done > "$manifest"

build() {  # build folder, output, payload arguments
  local dir=$1 exe=$2; shift 2
  "$src/scripts/build-setup.sh" --arch "$arch" --target setup_payload_probe --zvpack "$zvpack" --jobs "$jobs" \
    --build-dir "$dir" --out "$exe" "$@" >"$dir.log" 2>&1 || { tail -n 30 "$dir.log" >&2; fail "build in $dir"; }
}

echo "== build 1 ($arch, payload folder)"
build "$work/one" "$work/one.exe" --payload "$work/payload"
echo "== round trip"
bash "$src/tests/setup_build/compare_extracted.sh" "$zvpack" "$work/one.exe" "$work/payload" || fail "round trip"

echo "== build 2 ($arch, manifest, another folder)"
build "$work/two" "$work/two.exe" --payload "$manifest"
cmp "$work/one.exe" "$work/two.exe" || fail "the folder and manifest builds differ"

echo "== builds 3 and 4 ($arch, sample payload with the next-stage programs)"
build "$work/three" "$work/three.exe" --sample
build "$work/four" "$work/four.exe" --sample
cmp "$work/three.exe" "$work/four.exe" || fail "the two sample builds differ"
echo "setup build: round trip and reproducibility ok ($arch, $(stat -c %s "$work/one.exe") bytes)"
