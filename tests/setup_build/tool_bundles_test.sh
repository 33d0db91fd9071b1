#!/usr/bin/env bash
# The release of the setup tools (scripts/release-tools.sh), made twice: the same bytes both
# times, each bundle's SHA-256 list right, zvpack --version naming the bundle's version, and a
# setup made from each bundle alone, unpacked in a fresh folder, byte-identical to the one the
# win32 build made from the sample payload (zvsetup-injected.exe: level 6 and the build's date):
# the Linux one's zvpack here, the Windows one's zvpack.exe through WINE_RUNNER (cmake/wine-run.sh
# with a started wine64 session), given Windows paths.
# usage: tool_bundles_test.sh BUILD_WIN32 [WINE_RUNNER]
set -euo pipefail
build=$(realpath "${1:-build/win32}")
wine=${2:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$root/scripts/release-tools.sh" "$work/one" >/dev/null
bash "$root/scripts/release-tools.sh" "$work/two" >/dev/null
(cd "$work/one" && sha256sum -c --quiet SHA256SUMS) || fail "the bundles' SHA-256 list"
for bundle in "$work"/one/zelvora-setup-tools-*; do
  cmp "$bundle" "$work/two/$(basename "$bundle")" || fail "two releases differ: $(basename "$bundle")"
done

tarball=$(ls "$work"/one/zelvora-setup-tools-*-linux-x86_64.tar.gz)
version=$(basename "$tarball" | sed 's/^zelvora-setup-tools-\(.*\)-linux-x86_64.tar.gz$/\1/')
mkdir "$work/fresh"
tar -C "$work/fresh" -xzf "$tarball"
tools=$work/fresh/zelvora-setup-tools-$version-linux-x86_64
(cd "$tools" && sha256sum -c --quiet SHA256SUMS) || fail "the Linux bundle's SHA-256 list"
[[ $("$tools/zvpack" --version) == "zvpack $version "* ]] || fail "zvpack --version: $("$tools/zvpack" --version)"
! ldd "$tools/zvpack" | grep -Eq 'libz\.|libdeflate|libstdc\+\+' || fail "zvpack needs libraries beyond glibc: $(ldd "$tools/zvpack")"

epoch=$(sed -n 's/^VX_SOURCE_DATE_EPOCH:[A-Z]*=//p' "$build/CMakeCache.txt")
sample=$(dirname "$(find "$build" -path '*/sample/SETUPBASE' -type d | head -n 1)")
[[ -d $sample ]] || fail "no sample payload in $build"
SOURCE_DATE_EPOCH=$epoch "$tools/zvpack" setup -q -6 --stub "$tools/zvsetup-stub.exe" --payload "$sample" \
  --out "$work/setup.exe" || fail "zvpack setup from the bundle"
cmp "$work/setup.exe" "$build/tests/setup_build/zvsetup-injected.exe" \
  || fail "the bundle's setup differs from the build's zvsetup-injected.exe"
echo "tool bundles: reproducible; the Linux bundle alone makes the build's setup ($version)"

zip=$work/one/zelvora-setup-tools-$version-windows.zip
if [[ ! -f $zip ]]; then
  echo "tool bundles: no Windows bundle (this tree builds no zvpack.exe)"
  exit 0
fi
mkdir "$work/fresh-windows"
unzip -q "$zip" -d "$work/fresh-windows"
tools=$work/fresh-windows/zelvora-setup-tools-$version-windows
(cd "$tools" && sha256sum -c --quiet SHA256SUMS) || fail "the Windows bundle's SHA-256 list"
[[ $(ls "$tools") == $'README.txt\nSHA256SUMS\nzvpack.exe\nzvsetup-stub.exe' ]] || fail "the Windows bundle holds: $(ls "$tools")"
# One file: nothing but the system's libraries.
imports=$(x86_64-w64-mingw32-objdump -p "$tools/zvpack.exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
! grep -Ev '^(kernel32|msvcrt|advapi32|user32|shell32|ntdll|ws2_32|bcrypt|api-ms-win-.*)\.dll$' <<<"$imports" \
  || fail "zvpack.exe needs libraries beyond the system's: $(echo $imports)"
[[ -n $wine ]] || fail "the Windows bundle is there and no Wine runner was given to run its zvpack.exe"
windows_path() { local path; path=$(realpath "$1"); printf 'Z:%s' "${path//\//\\}"; }  # Wine's Z: is /
[[ $("$wine" "$tools/zvpack.exe" --version) == "zvpack $version "* ]] || fail "zvpack.exe --version"
SOURCE_DATE_EPOCH=$epoch "$wine" "$tools/zvpack.exe" setup -q -6 --stub "$(windows_path "$tools/zvsetup-stub.exe")" \
  --payload "$(windows_path "$sample")" --out "$(windows_path "$work")\\setup-windows.exe" \
  || fail "zvpack.exe setup from the Windows bundle"
cmp "$work/setup-windows.exe" "$build/tests/setup_build/zvsetup-injected.exe" \
  || fail "the Windows bundle's setup differs from the build's zvsetup-injected.exe"
echo "tool bundles: the Windows bundle alone, under wine64, makes the build's setup too"
