#!/usr/bin/env bash
# Makes the release of the setup tools, so that a setup can be made without this source tree:
#   zelvora-setup-tools-VERSION-linux-x86_64.tar.gz   zvpack (x86-64 Linux, glibc, zlib and
#                                                     libdeflate linked in), zvsetup-stub.exe
#                                                     (win32), README.txt, SHA256SUMS
#   zelvora-setup-tools-VERSION-windows.zip           zvpack.exe (x86-64 Windows, of the win64
#                                                     build, stripped), the same stub,
#                                                     README.txt (CRLF), SHA256SUMS
#   SHA256SUMS                                        the bundles'
# VERSION is the stub's file version, which zvpack --version says too. The same tree gives the
# same bytes: the programs are built without build paths (and the Windows ones without link
# times), the bundles' entries are sorted, owned by 0, of fixed modes and dated
# SOURCE_DATE_EPOCH (else the tree's fixed date).
# usage: bash scripts/release-tools.sh OUTDIR
set -euo pipefail
[[ $# == 1 && $1 != -* ]] || { echo "usage: bash scripts/release-tools.sh OUTDIR" >&2; exit 1; }
die() { echo "release-tools: $*" >&2; exit 1; }
mkdir -p "$1" || die "$1: cannot be made"
out=$(realpath "$1")
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
((jobs <= 2)) || jobs=2
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-991353600}

# zvpack for Linux: optimised, without build paths, stripped; zlib and libdeflate static.
linux=$root/build/release-tools/linux
static() { local a; a=$(gcc -print-file-name="$1"); [[ $a == /* ]] || die "no $1 (scripts/setup.sh installs it)"; echo "$a"; }
prefix_map="-ffile-prefix-map=$root=. -ffile-prefix-map=$linux=build"
cmake -S "$root" -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF -DVX_BENCHMARKS=OFF \
  -DVX_SANITIZE=OFF -DZLIB_USE_STATIC_LIBS=ON -DLIBDEFLATE_LIBRARY="$(static libdeflate.a)" \
  -DCMAKE_C_FLAGS="$prefix_map" -DCMAKE_CXX_FLAGS="$prefix_map" \
  -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ -static-libgcc" >/dev/null || die "configuring $linux failed"
cmake --build "$linux" --target zvpack -j "$jobs" >/dev/null || die "building zvpack for Linux failed"
# The stub of the product's own build.
[[ -f build/win32/CMakeCache.txt ]] || cmake --preset win32 >/dev/null || die "configuring build/win32 failed"
cmake --build --preset win32 --target zvsetup_stub -j "$jobs" >/dev/null || die "building zvsetup-stub.exe failed"
stub=$root/build/win32/launcher/zvsetup-stub.exe
zvpack=$linux/tools/zvpack/zvpack
# zvpack.exe of the win64 build (already reproducible: see the top CMakeLists.txt).
[[ -f build/win64/CMakeCache.txt ]] || cmake --preset win64 >/dev/null || die "configuring build/win64 failed"
windows_zvpack=
if grep -q '^build tools/zvpack/zvpack\.exe:' build/win64/build.ninja; then
  cmake --build --preset win64 --target zvpack -j "$jobs" >/dev/null || die "building zvpack.exe failed"
  windows_zvpack=$root/build/win64/tools/zvpack/zvpack.exe
fi

version=$("$zvpack" --version | sed -n 's/^zvpack \([0-9.]*\) .*/\1/p')
# The file version in the stub's VS_FIXEDFILEINFO (after its signature, FEEF04BD).
stub_version=$(python3 -c 'import struct, sys
b = open(sys.argv[1], "rb").read(); at = b.find(struct.pack("<I", 0xFEEF04BD))
ms, ls = struct.unpack_from("<II", b, at + 8)
print("%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF) if at >= 0 else "none")' "$stub")
[[ -n $version && $version == "$stub_version" ]] \
  || die "zvpack says version ${version:-none} and the stub $stub_version; they are released together"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
readme() {  # ZVPACK (zvpack or zvpack.exe), MOVE (the system's command that replaces a file)
  cat <<EOF2
Zelvora setup tools $version

$1 writes a setup: the eight archives of a payload folder into a copy of zvsetup-stub.exe
(the Zelvora setup launcher without archives, a 32-bit Windows program). Nothing else is
needed: no compiler, no source tree.

  $1 setup --check --stub zvsetup-stub.exe --payload release
  $1 setup --stub zvsetup-stub.exe --payload release --version 1.2.0.0 \\
      --version-info "CompanyName=Zelvora" --out zvsetup.exe \\
      --sign-command "SIGNING COMMAND WITH {file}" --sign-retries 3
  $1 verify zvsetup.exe

The payload folder holds BASE, SETUPBASE, SETUPPICTLITE, PICTLITE, ZVIMAGE (unpacked by the
launcher, in this order), APPBASE, PICTUNINST and ZVVERSION, each a folder; SETUPBASE holds the
next stage, Vistart.exe and pidwait.exe, 32-bit Windows programs. The signing command signs
{file} in place (signtool sign ... {file}; osslsigncode sign ... -in {file} -out {file}.signed
&& $2 {file}.signed {file}); whatever fails, a setup already at --out stays as it was.
$1 help setup tells the rest; exit codes: $1 --help.

SHA256SUMS lists the SHA-256 of every file here.
EOF2
}
# BUNDLE-FOLDER, then the files to put in it.
stage() {
  local dir=$work/$1
  shift
  mkdir -p "$dir"
  cp "$@" "$dir/"
  (cd "$dir" && sha256sum -- * >SHA256SUMS)
  find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

name=zelvora-setup-tools-$version-linux-x86_64
readme zvpack "mv -f" >"$work/README.txt"
cp "$zvpack" "$work/zvpack"
strip --strip-all "$work/zvpack"
stage "$name" "$work/zvpack" "$stub" "$work/README.txt"
chmod 755 "$work/$name/zvpack"
tar -C "$work" --sort=name --owner=0 --group=0 --numeric-owner --mode='a+rX,u+w,go-w' --mtime="@$SOURCE_DATE_EPOCH" -cf - "$name" \
  | gzip -9n >"$out/$name.tar.gz"
bundles=("$name.tar.gz")

# FOLDER (in $work) into ZIP: its files in name order after the folder itself, each dated
# SOURCE_DATE_EPOCH (UTC), of mode 755 (programs) or 644, deflated at level 9; nothing else of
# the machine (no owner, no extra fields) goes in.
zip_folder() {
  python3 - "$work" "$1" "$2" <<'EOF2'
import os, sys, time, zipfile
root, folder, out = sys.argv[1:]
when = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip dates start in 1980
def entry(name, mode):
    info = zipfile.ZipInfo(name, when)
    info.create_system = 3  # Unix, so that unzip restores the mode
    info.external_attr = mode << 16
    return info
with zipfile.ZipFile(out, "w") as bundle:
    bundle.writestr(entry(folder + "/", 0o40755), b"")
    for name in sorted(os.listdir(os.path.join(root, folder))):
        with open(os.path.join(root, folder, name), "rb") as f:
            data = f.read()
        mode = 0o100755 if name.endswith(".exe") else 0o100644
        bundle.writestr(entry(folder + "/" + name, mode), data, zipfile.ZIP_DEFLATED, 9)
EOF2
}

if [[ -n $windows_zvpack ]]; then
  name=zelvora-setup-tools-$version-windows
  readme zvpack.exe "move /y" | sed 's/$/\r/' >"$work/README.txt"
  x86_64-w64-mingw32-strip --strip-all -o "$work/zvpack.exe" "$windows_zvpack"
  stage "$name" "$work/zvpack.exe" "$stub" "$work/README.txt"
  zip_folder "$name" "$out/$name.zip"
  bundles+=("$name.zip")
else
  echo "release-tools: this tree builds no zvpack.exe yet: the Windows bundle is not made" >&2
fi
(cd "$out" && sha256sum -- "${bundles[@]}" >SHA256SUMS)
for bundle in "${bundles[@]}"; do echo "release-tools: $out/$bundle ($(stat -c %s "$out/$bundle") bytes)"; done
