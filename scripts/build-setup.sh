#!/usr/bin/env bash
# Builds a setup executable that carries a release payload: the eight archives packed from
# a payload folder (NAME/ or NAME.list per archive) or a manifest ("NAME PATH" lines), either
# written into a ready-built stub by zvpack (--stub) or linked by a CMake cross build; then,
# when asked, signed before it takes --out's place. Whatever fails, a setup already at --out
# stays as it was.
set -euo pipefail
# A path put into the signing command may hold '&', which bash 5.2 would read as the match.
shopt -u patsub_replacement 2>/dev/null || true

usage() {
  cat <<'EOF2'
usage: scripts/build-setup.sh --stub STUB --payload DIR|MANIFEST --out FILE [--zvpack FILE]
                              [--level N|best] [--version A.B.C.D] [--version-info KEY=VALUE]...
                              [--exclude GLOB]... [--quiet] [signing]
       scripts/build-setup.sh --payload DIR|MANIFEST|--sample --out FILE [--arch win32|win64]
                              [--target NAME] [--build-dir DIR] [--zvpack FILE] [--jobs N]
                              [--level N|best] [signing]
signing: --sign-pkcs12 FILE --sign-password-file FILE [--timestamp URL]
         | --sign-command CMD
         and [--sign-retries N] [--sign-retry-delay SECONDS]

  --stub       a launcher without payload (zvsetup-stub.exe of a win32 or win64 build):
               "zvpack setup" writes the archives into a copy of it. Needs no compiler and
               no CMake when --zvpack is given, or once build/zvpack-host holds a zvpack.
  --payload    folder with BASE, SETUPBASE, SETUPPICTLITE, PICTLITE, ZVIMAGE, APPBASE,
               PICTUNINST and ZVVERSION, each a folder of files (packed sorted by name) or a
               zvpack list file NAME.list (packed in its order); or a manifest naming, one
               line "NAME PATH" per archive, a folder or list file relative to the manifest.
  --sample     (CMake route) the sample payload, with the build's own next-stage programs.
  --out        where the setup is written: a file in a folder that exists, not the stub.
  --level      zlib level 0..9, or best (the default: the smallest payload).
  --version    (stub route) the file and product version of the setup.
  --version-info KEY=VALUE
               (stub route) a string of the setup's version resource: CompanyName,
               ProductName, FileDescription, LegalCopyright, ...; UTF-8; repeatable.
  --exclude    (stub route) leave out what the glob matches (zvpack help create); repeatable.
  --quiet      (stub route) no progress and no summary from zvpack.
  --arch       (CMake route) win32 (default, the product) or win64 (the twin for Wine).
  --target     (CMake route) the executable target to build (default zvsetup).
  --build-dir  (CMake route) the build folder (default build/setup-ARCH), reused.
  --zvpack     a host zvpack to pack with; without it one is built (build/zvpack-host for
               the stub route, inside the build folder for the CMake route).
  --jobs       parallel build jobs (default: the number of cores).
  --sign-command CMD
               sign the setup with CMD, one command line for sh in which {file} stands for
               the quoted path of the unsigned setup, which CMD signs in place (zvpack help
               setup); it must leave the setup with a signature added.
  --sign-retries, --sign-retry-delay
               try a failing signing again N times, SECONDS apart (default 0 times, 2 s).
  --sign-pkcs12, --sign-password-file
               sign with osslsigncode (Authenticode, SHA-256) as the command, with the
               certificate and key of a PKCS#12 file whose password is the file's first
               line; the signature's description is the setup's FileDescription. The file
               is opened with the password before anything is packed.
  --timestamp  an RFC 3161 time-stamp server for the osslsigncode signature; with --stub a
               trial signature of the stub asks it before anything is packed.

Without signing the same sources and payload give the same bytes: entry times come from
SOURCE_DATE_EPOCH (from the environment, else a fixed date), and build paths and link time
stamps are kept out of the executable. A signature holds its signing time.
EOF2
}

die() { echo "build-setup: $*" >&2; exit 1; }
# An option's value: the next word, which must be there and not be another option.
value() { [[ $# -ge 2 && -n $2 && $2 != --* ]] || die "$1 needs a value (scripts/build-setup.sh --help)"; }

payload="" sample=0 out="" arch=win32 target=zvsetup build_dir="" zvpack="" jobs=$(nproc)
stub="" level=best version="" pkcs12="" password_file="" timestamp="" excludes=() quiet=() version_info=()
sign_command="" retry_args=() retries=0 retry_delay=2 description="Zelvora Setup"
while (($#)); do
  case $1 in
    --sample) sample=1; shift; continue ;;
    --quiet) quiet=(--quiet); shift; continue ;;
    -h|--help) usage; exit 0 ;;
    --stub|--payload|--out|--level|--version|--arch|--target|--build-dir|--zvpack|--jobs|--sign-pkcs12|\
    --sign-password-file|--timestamp|--exclude|--version-info|--sign-command|--sign-retries|--sign-retry-delay)
      value "$@" ;;
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
    --version-info) version_info+=(--version-info "$2"); [[ $2 != FileDescription=* ]] || description=${2#*=} ;;
    --sign-command) sign_command=$2 ;;
    --sign-retries) retry_args+=("$1" "$2"); retries=$2 ;;
    --sign-retry-delay) retry_args+=("$1" "$2"); retry_delay=$2 ;;
  esac
  shift 2
done
[[ -n $out ]] || die "--out is needed (scripts/build-setup.sh --help)"
(((sample == 1) != (${#payload} > 0))) || die "give either --payload or --sample (scripts/build-setup.sh --help)"
[[ ! -d $out ]] || die "$out: is a folder; --out names the setup file to write"
[[ -d $(dirname "$out") ]] || die "$out: the folder $(dirname "$out") does not exist"
[[ -z $stub || ! $out -ef $stub ]] || die "$out: is the stub; --out names a new setup file"
[[ ${#excludes[@]} == 0 || -n $stub ]] || die "--exclude needs --stub (the CMake route packs every file)"
[[ $arch == win32 || $arch == win64 ]] || die "--arch must be win32 or win64, not $arch"
[[ $level =~ ^([0-9]|best)$ ]] || die "--level must be 0..9 or best, not $level"
[[ -z $stub || $sample == 0 ]] || die "--sample is for the CMake route; give --payload with --stub"
[[ -z $version && ${#version_info[@]} == 0 || -n $stub ]] \
  || die "--version and --version-info need --stub (the CMake route keeps resources/version.rc)"
[[ -z $pkcs12$password_file || (-n $pkcs12 && -n $password_file) ]] \
  || die "signing needs both --sign-pkcs12 and --sign-password-file"
[[ -z $pkcs12 || -z $sign_command ]] || die "give either --sign-pkcs12 or --sign-command"
[[ -z $timestamp || -n $pkcs12 ]] || die "--timestamp needs --sign-pkcs12"
[[ ${#retry_args[@]} == 0 || -n $pkcs12$sign_command ]] || die "--sign-retries and --sign-retry-delay need signing"
[[ $retries =~ ^[0-9]{1,2}$ && $retry_delay =~ ^[0-9]{1,4}$ ]] \
  || die "--sign-retries needs a number from 0 to 99, --sign-retry-delay whole seconds"
[[ -z $sign_command || $sign_command == *"{file}"* ]] \
  || die "--sign-command needs {file} where the path of the setup to sign goes"
if [[ -n $pkcs12 ]]; then
  [[ -f $pkcs12 ]] || die "$pkcs12: no such PKCS#12 file"
  [[ -f $password_file ]] || die "$password_file: no such password file"
  command -v osslsigncode >/dev/null || die "signing needs osslsigncode (scripts/setup.sh installs it)"
  openssl pkcs12 -in "$pkcs12" -passin "file:$password_file" -noout 2>/dev/null \
    || die "$pkcs12: does not open with the password in $password_file; nothing packed"
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
if [[ -n $stub && -n $timestamp ]]; then
  trial=$(mktemp -d)
  osslsigncode sign -pkcs12 "$pkcs12" -readpass "$password_file" -h sha256 -ts "$timestamp" -in "$stub" \
    -out "$trial/stub.exe" >"$trial/log" 2>&1 || {
    why=$(grep -m1 -iE 'failure|failed|error' "$trial/log" | sed 's/^ *//') || true
    rm -rf "$trial"
    die "a trial signature of the stub with the time-stamp server $timestamp failed (${why:-see osslsigncode}); nothing packed"; }
  rm -rf "$trial"
fi
[[ -z $build_dir ]] || build_dir=$(realpath -m "$build_dir")
if [[ -n $zvpack ]]; then
  [[ -x $zvpack ]] || die "$zvpack: not an executable zvpack"
  zvpack=$(realpath "$zvpack")
fi

# The signing command runs where the script was started, so that its relative paths mean
# what they meant on the command line.
caller=$PWD
cd "$(dirname "$0")/.."
root=$PWD
level_arg=-$level
[[ $level != best ]] || level_arg=--best

# A word quoted for sh.
quoted() { local q="'\\''"; printf "'%s'" "${1//\'/$q}"; }
if [[ -n $pkcs12 ]]; then
  sign_command="osslsigncode sign -pkcs12 $(quoted "$pkcs12") -readpass $(quoted "$password_file") -h sha256"
  sign_command+=" -n $(quoted "$description")${timestamp:+ -ts $(quoted "$timestamp")}"
  sign_command+=" -in {file} -out {file}.signed && mv -f {file}.signed {file}"
fi
sign_args=()
[[ -z $sign_command ]] || sign_args=(--sign-command "$sign_command" "${retry_args[@]}")

build_with_stub() {
  if [[ -z $zvpack ]]; then
    zvpack=$root/build/zvpack-host/tools/zvpack/zvpack
    if [[ ! -x $zvpack ]]; then
      cmake -S "$root" -B "$root/build/zvpack-host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF \
        -DVX_BENCHMARKS=OFF -DVX_SANITIZE=OFF >/dev/null || die "configuring build/zvpack-host failed"
      cmake --build "$root/build/zvpack-host" --target zvpack -j "$jobs" >/dev/null || die "building zvpack failed"
    fi
  fi
  local version_args=("${version_info[@]}")
  [[ -z $version ]] || version_args+=(--version "$version")
  # The date the CMake route gives the archives when SOURCE_DATE_EPOCH is not set.
  # zvpack names the problem; its exit code says whose it is (2 the payload, 5 the stub).
  local status=0
  (cd "$caller" && SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-991353600} "$zvpack" setup "$level_arg" "${quiet[@]}" \
    "${excludes[@]}" --stub "$stub" --payload "$payload" --out "$out" "${version_args[@]}" "${sign_args[@]}") \
    || status=$?
  case $status in
    0) ;;
    2) die "zvpack setup refused the payload $payload or could not write the setup" ;;
    5) die "zvpack setup refused the stub $stub" ;;
    7) die "signing $out failed; the setup there before is as it was" ;;
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
  place_built "$(<"$path_file")"
}

# The CMake route's setup copied into a folder of its own beside --out, signed there when
# asked (the command's exit code, after its retries, and zvpack verify decide), then put in
# place.
place_built() {
  local file try=0
  folder=$(mktemp -d "$out.tmpXXXXXX")
  trap 'rm -rf "$folder"' EXIT
  file=$folder/$(basename "$out")
  cp "$1" "$file" && chmod 755 "$file" || die "$out: could not be written"
  if [[ -n $sign_command ]]; then
    until (cd "$caller" && sh -c "${sign_command//\{file\}/$(quoted "$file")}") >&2; do
      ((try++ < retries)) || die "signing $out failed; the setup there before is as it was"
      echo "build-setup: signing failed; trying again in $retry_delay s ($((try + 1)) of $((retries + 1)))" >&2
      sleep "$retry_delay"
      cp "$1" "$file"
    done
    "${zvpack:-$build_dir/host-tools/tools/zvpack/zvpack}" verify "$file" >/dev/null \
      || die "signing $out failed: the signed setup does not verify; the setup there before is as it was"
    chmod 755 "$file"
  fi
  mv "$file" "$out" || die "$out: could not be written"
}

if [[ -n $stub ]]; then build_with_stub; else build_with_cmake; fi
route="stub $(basename "$stub")"
[[ -n $stub ]] || route="$arch, target $target"
echo "build-setup: $out ($(stat -c %s "$out") bytes, $route${sign_command:+, signed})"
