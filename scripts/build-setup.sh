#!/usr/bin/env bash
# Builds a setup executable that carries a release payload: the eight archives packed from
# a payload folder (NAME/ or NAME.list per archive) or a manifest ("NAME PATH" lines).
set -euo pipefail

usage() {
  cat <<'EOF'
usage: scripts/build-setup.sh --payload DIR|MANIFEST|--sample --out FILE [--arch win32|win64]
                              [--target NAME] [--build-dir DIR] [--zvpack FILE] [--jobs N]

  --payload    folder with BASE, SETUPBASE, SETUPPICTLITE, PICTLITE, ZVIMAGE, APPBASE,
               PICTUNINST and ZVVERSION, each a folder of files (packed sorted by name) or a
               zvpack list file NAME.list (packed in its order); or a manifest naming, one
               line "NAME PATH" per archive, a folder or list file relative to the manifest.
  --sample     the sample payload instead, with the build's own next-stage programs.
  --out        where the built executable is copied.
  --arch       win32 (default, the product) or win64 (the twin that runs under Wine).
  --target     the executable target to build (default zvsetup).
  --build-dir  the build folder (default build/setup-ARCH); reused by later runs.
  --zvpack     a host zvpack to pack with; without it the build makes its own.
  --jobs       parallel build jobs (default: the number of cores).

The same sources and payload give the same bytes: entry times come from SOURCE_DATE_EPOCH
(from the environment, else a fixed date), and build paths and link time stamps are kept
out of the executable.
EOF
}

die() { echo "build-setup: $*" >&2; exit 1; }

payload="" sample=0 out="" arch=win32 target=zvsetup build_dir="" zvpack="" jobs=$(nproc)
while (($#)); do
  case $1 in
    --payload) payload=${2:?}; shift 2 ;;
    --sample) sample=1; shift ;;
    --out) out=${2:?}; shift 2 ;;
    --arch) arch=${2:?}; shift 2 ;;
    --target) target=${2:?}; shift 2 ;;
    --build-dir) build_dir=${2:?}; shift 2 ;;
    --zvpack) zvpack=${2:?}; shift 2 ;;
    --jobs) jobs=${2:?}; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 1 ;;
  esac
done
[[ -n $out ]] && (((sample == 1) != (${#payload} > 0))) || { usage >&2; exit 1; }
[[ $arch == win32 || $arch == win64 ]] || die "--arch must be win32 or win64, not $arch"
if ((!sample)); then
  [[ -e $payload ]] || die "$payload: no such folder or manifest"
  payload=$(realpath "$payload")
fi
out=$(realpath -m "$out")
[[ -z $build_dir ]] || build_dir=$(realpath -m "$build_dir")
if [[ -n $zvpack ]]; then
  [[ -x $zvpack ]] || die "$zvpack: not an executable zvpack"
  zvpack=$(realpath "$zvpack")
fi

cd "$(dirname "$0")/.."
root=$PWD
build_dir=${build_dir:-$root/build/setup-$arch}

# Build paths out of every object of the build, the next-stage programs included.
reproducible="-ffile-prefix-map=$root=. -ffile-prefix-map=$build_dir=build"
epoch_args=()
if [[ -n ${SOURCE_DATE_EPOCH:-} ]]; then epoch_args=(-DVX_SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH"); fi

cmake --preset "$arch" -B "$build_dir" -DVX_TESTS=OFF -DVX_SETUP_PAYLOAD="$payload" \
  -DVX_ZVPACK="$zvpack" "${epoch_args[@]}" \
  -DCMAKE_C_FLAGS="$reproducible" -DCMAKE_CXX_FLAGS="$reproducible" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,--no-insert-timestamp" >/dev/null \
  || die "configuring $build_dir failed (see the messages above)"
cmake --build "$build_dir" --target "$target" -j "$jobs" || die "building $target failed"

path_file=$build_dir/setup-payload-targets/$target.path
[[ -f $path_file ]] || die "$target does not carry the setup payload (no vx_add_setup_payload call)"
exe=$(<"$path_file")
mkdir -p "$(dirname "$out")"
cp "$exe" "$out"
echo "build-setup: $out ($(stat -c %s "$out") bytes, $arch, target $target)"
