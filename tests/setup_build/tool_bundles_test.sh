#!/usr/bin/env bash
# The release of the setup tools (scripts/release-tools.sh), made twice: the same bytes both
# times, each bundle's SHA-256 list right, zvpack --version naming the bundle's version, and a
# setup made from the bundle alone, unpacked in a fresh folder, byte-identical to the one the
# win32 build made from the sample payload (zvsetup-injected.exe: level 6 and the build's date).
# usage: tool_bundles_test.sh BUILD_WIN32
set -euo pipefail
build=$(realpath "${1:-build/win32}")
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
