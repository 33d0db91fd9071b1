#!/usr/bin/env bash
# Builds a setup executable that carries a release payload: the eight archives packed from
# a payload folder (NAME/ or NAME.list per archive) or a manifest ("NAME PATH" lines), either
# written into a ready-built stub by zvpack (--stub) or linked by a CMake cross build; then,
# when asked, signed.
set -euo pipefail

usage() {
  cat <<'EOF2'
usage: scripts/build-setup.sh --stub STUB --payload DIR|MANIFEST --out FILE [--zvpack FILE]
                              [--level N|best] [--version A.B.C.D] [--exclude GLOB]... [--quiet]
                              [signing]
       scripts/build-setup.sh --payload DIR|MANIFEST|--sample --out FILE [--arch win32|win64]
                              [--target NAME] [--build-dir DIR] [--zvpack FILE] [--jobs N]
                              [--level N|best] [signing]
signing: --sign-pkcs12 FILE --sign-password-file FILE [--timestamp URL]

  --stub       a launcher without payload (zvsetup-stub.exe of a win32 or win64 build):
               "zvpack setup" writes the archives into a copy of it. Needs no compiler and
               no CMake when --zvpack is given, or once build/zvpack-host holds a zvpack.
  --payload    folder with BASE, SETUPBASE, SETUPPICTLITE, PICTLITE, ZVIMAGE, APPBASE,
               PICTUNINST and ZVVERSION, each a folder of files (packed sorted by name) or a
               zvpack list file NAME.list (packed in its order); or a manifest naming, one
               line "NAME PATH" per archive, a folder or list file relative to the manifest.
  --sample     (CMake route) the sample payload, with the build's own next-stage programs.
  --out        where the setup is written.
  --level      zlib level 0..9, or best (the default: the smallest payload).
  --version    (stub route) the file and product version of the setup.
  --exclude    (stub route) leave out what the glob matches (zvpack help create); repeatable.
  --quiet      (stub route) no progress and no summary from zvpack.
  --arch       (CMake route) win32 (default, the product) or win64 (the twin for Wine).
  --target     (CMake route) the executable target to build (default zvsetup).
  --build-dir  (CMake route) the build folder (default build/setup-ARCH), reused.
  --zvpack     a host zvpack to pack with; without it one is built (build/zvpack-host for
               the stub route, inside the build folder for the CMake route).
  --jobs       parallel build jobs (default: the number of cores).
  --sign-pkcs12, --sign-password-file
               sign the setup (Authenticode, SHA-256, osslsigncode) with the certificate and
               key of a PKCS#12 file whose password is the file's first line, as the last
               step; a failure to sign leaves nothing at --out.
  --timestamp  an RFC 3161 time-stamp server for the signature.

Without signing the same sources and payload give the same bytes: entry times come from
SOURCE_DATE_EPOCH (from the environment, else a fixed date), and build paths and link time
stamps are kept out of the executable. A signature holds its signing time.
EOF2
}

die() { echo "build-setup: $*" >&2; exit 1; }
# An option's value: the next word, which must be there and not be another option.
value() { [[ $# -ge 2 && -n $2 && $2 != --* ]] || die "$1 needs a value (scripts/build-setup.sh --help)"; }

payload="" sample=0 out="" arch=win32 target=zvsetup build_dir="" zvpack="" jobs=$(nproc)
stub="" level=best version="" pkcs12="" password_file="" timestamp="" excludes=() quiet=()
while (($#)); do
  case $1 in
    --sample) sample=1; shift; continue ;;
    --quiet) quiet=(--quiet); shift; continue ;;
    -h|--help) usage; exit 0 ;;
    --stub|--payload|--out|--level|--version|--arch|--target|--build-dir|--zvpack|--jobs|--sign-pkcs12|\
    --sign-password-file|--timestamp|--exclude) value "$@" ;;
    *) die "unknown option $1 (scripts/build-setup.sh --help)" ;;
  esac
  case $1 in
    --stub) stub=$2 ;;
    --payload) payload=$2 ;;
    --out) out=$2 ;;
    --level) level=$2 ;;
    --version) version=$2 ;;
    --arch) arch=$2 ;;
    --target) target=$2 ;;
    --build-dir) build_dir=$2 ;;
    --zvpack) zvpack=$2 ;;
    --jobs) jobs=$2 ;;
    --sign-pkcs12) pkcs12=$2 ;;
    --sign-password-file) password_file=$2 ;;
    --timestamp) timestamp=$2 ;;
    --exclude) excludes+=(--exclude "$2") ;;
  esac
  shift 2
done
[[ -n $out ]] || die "--out is needed (scripts/build-setup.sh --help)"
(((sample == 1) != (${#payload} > 0))) || die "give either --payload or --sample (scripts/build-setup.sh --help)"
[[ ! -d $out ]] || die "$out: is a folder; --out names the setup file to write"
[[ ${#excludes[@]} == 0 || -n $stub ]] || die "--exclude needs --stub (the CMake route packs every file)"
[[ $arch == win32 || $arch == win64 ]] || die "--arch must be win32 or win64, not $arch"
[[ $level =~ ^([0-9]|best)$ ]] || die "--level must be 0..9 or best, not $level"
[[ -z $stub || $sample == 0 ]] || die "--sample is for the CMake route; give --payload with --stub"
[[ -z $version || -n $stub ]] || die "--version needs --stub (the CMake route keeps resources/version.rc)"
[[ -z $pkcs12$password_file || (-n $pkcs12 && -n $password_file) ]] \
  || die "signing needs both --sign-pkcs12 and --sign-password-file"
[[ -z $timestamp || -n $pkcs12 ]] || die "--timestamp needs --sign-pkcs12"
if [[ -n $pkcs12 ]]; then
  [[ -f $pkcs12 ]] || die "$pkcs12: no such PKCS#12 file"
  [[ -f $password_file ]] || die "$password_file: no such password file"
  command -v osslsigncode >/dev/null || die "signing needs osslsigncode (scripts/setup.sh installs it)"
  pkcs12=$(realpath "$pkcs12") password_file=$(realpath "$password_file")
fi
if ((!sample)); then
  [[ -e $payload ]] || die "$payload: no such folder or manifest"
  payload=$(realpath "$payload")
fi
if [[ -n $stub ]]; then
  [[ -f $stub ]] || die "$stub: no such stub"
  stub=$(realpath "$stub")
fi
out=$(realpath -m "$out")
[[ -z $build_dir ]] || build_dir=$(realpath -m "$build_dir")
if [[ -n $zvpack ]]; then
  [[ -x $zvpack ]] || die "$zvpack: not an executable zvpack"
  zvpack=$(realpath "$zvpack")
fi

cd "$(dirname "$0")/.."
root=$PWD
mkdir -p "$(dirname "$out")"
level_arg=-$level
[[ $level != best ]] || level_arg=--best

# The finished, unsigned setup goes here; signing or the rename to --out is the last step.
unsigned=$(mktemp "$out.unsigned-XXXXXX")
trap 'rm -f "$unsigned" "$unsigned.signed" "$unsigned.log"' EXIT

build_with_stub() {
  if [[ -z $zvpack ]]; then
    zvpack=$root/build/zvpack-host/tools/zvpack/zvpack
    if [[ ! -x $zvpack ]]; then
      cmake -S "$root" -B "$root/build/zvpack-host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF \
        -DVX_BENCHMARKS=OFF -DVX_SANITIZE=OFF >/dev/null || die "configuring build/zvpack-host failed"
      cmake --build "$root/build/zvpack-host" --target zvpack -j "$jobs" >/dev/null || die "building zvpack failed"
    fi
  fi
  local version_args=()
  [[ -z $version ]] || version_args=(--version "$version")
  # The date the CMake route gives the archives when SOURCE_DATE_EPOCH is not set.
  # zvpack names the problem; its exit code says whose it is (2 the payload, 5 the stub).
  local status=0
  SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-991353600} "$zvpack" setup "$level_arg" "${quiet[@]}" "${excludes[@]}" \
    --stub "$stub" --payload "$payload" --out "$unsigned" "${version_args[@]}" || status=$?
  case $status in
    0) ;;
    2) die "zvpack setup refused the payload $payload or could not write the setup" ;;
    5) die "zvpack setup refused the stub $stub" ;;
    *) die "zvpack setup failed (exit $status)" ;;
  esac
}

build_with_cmake() {
  build_dir=${build_dir:-$root/build/setup-$arch}
  # Build paths out of every object of the build, the next-stage programs included.
  local reproducible="-ffile-prefix-map=$root=. -ffile-prefix-map=$build_dir=build"
  local epoch_args=()
  if [[ -n ${SOURCE_DATE_EPOCH:-} ]]; then epoch_args=(-DVX_SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH"); fi
  cmake --preset "$arch" -B "$build_dir" -DVX_TESTS=OFF -DVX_SETUP_PAYLOAD="$payload" \
    -DVX_ZVPACK="$zvpack" -DVX_SETUP_PACK_LEVEL="$level" "${epoch_args[@]}" \
    -DCMAKE_C_FLAGS="$reproducible" -DCMAKE_CXX_FLAGS="$reproducible" \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,--no-insert-timestamp" >/dev/null \
    || die "configuring $build_dir failed (see the messages above)"
  cmake --build "$build_dir" --target "$target" -j "$jobs" || die "building $target failed"
  local path_file=$build_dir/setup-payload-targets/$target.path
  [[ -f $path_file ]] || die "$target does not carry the setup payload (no vx_add_setup_payload call)"
  cp "$(<"$path_file")" "$unsigned"
}

sign() {
  local ts_args=()
  [[ -z $timestamp ]] || ts_args=(-ts "$timestamp")
  if ! osslsigncode sign -pkcs12 "$pkcs12" -readpass "$password_file" -h sha256 -n "Zelvora Setup" \
      "${ts_args[@]}" -in "$unsigned" -out "$unsigned.signed" >"$unsigned.log" 2>&1; then
    sed 's/^/  /' "$unsigned.log" >&2
    rm -f "$unsigned.log" "$out"
    die "signing $out failed; nothing written"
  fi
  rm -f "$unsigned.log"
  mv "$unsigned.signed" "$unsigned"
}

if [[ -n $stub ]]; then build_with_stub; else build_with_cmake; fi
[[ -z $pkcs12 ]] || sign
chmod 755 "$unsigned"
mv "$unsigned" "$out"
route="stub $(basename "$stub")"
[[ -n $stub ]] || route="$arch, target $target"
echo "build-setup: $out ($(stat -c %s "$out") bytes, $route${pkcs12:+, signed})"
