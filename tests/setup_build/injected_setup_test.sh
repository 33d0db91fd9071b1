#!/usr/bin/env bash
# Checks a setup that "zvpack setup" wrote into the stub: headers right by objdump and by a
# reader of its own (checksum, SizeOfImage, resource directory), every resource of the stub
# unchanged and no archive in the stub, the same archives as the setup the CMake route linked
# from the same payload, every archive verifying, and writing the payload again into the
# setup itself giving the same bytes.
# usage: injected_setup_test.sh ZVPACK STUB SETUP CMAKE_SETUP PAYLOAD_DIR (SOURCE_DATE_EPOCH set)
set -euo pipefail
zvpack=$1 stub=$2 setup=$3 cmake_setup=$4 payload=$5
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
resources() { python3 "$here/pe_image.py" resources "$1"; }

objdump -p "$setup" >"$work/objdump.txt" 2>&1 || fail "objdump -p $setup"
grep -q '^Entry 2 .* Resource Directory \[\.rsrc\]$' "$work/objdump.txt" || fail "objdump finds no .rsrc resource directory"
objdump -h "$setup" >/dev/null || fail "objdump -h $setup"
python3 "$here/pe_image.py" headers "$setup" || fail "$setup: headers"

resources "$stub" >"$work/stub.txt"
! grep -q '^ZVARC ' "$work/stub.txt" || fail "the stub carries archives"
grep -q '^#16 #1 ' "$work/stub.txt" || fail "the stub has no version resource"
resources "$setup" >"$work/setup.txt"
diff <(grep -v '^ZVARC ' "$work/setup.txt") "$work/stub.txt" >&2 || fail "the stub's resources changed"
diff <(grep '^ZVARC ' "$work/setup.txt") <(resources "$cmake_setup" | grep '^ZVARC ') >&2 \
  || fail "the archives differ from the CMake route's"
[[ $("$zvpack" verify "$setup" | grep -c ': ok$') == 8 ]] || fail "zvpack verify $setup"

"$zvpack" setup -q -6 --stub "$setup" --payload "$payload" --out "$work/again.exe"
cmp "$setup" "$work/again.exe" || fail "writing the payload into the setup again changed it"

"$zvpack" setup -q -6 --stub "$stub" --payload "$payload" --out "$work/versioned.exe" --version 2.31.400.65535
python3 "$here/pe_image.py" headers "$work/versioned.exe" || fail "versioned setup: headers"
diff <(resources "$work/versioned.exe" | grep -v '^#16 ') <(grep -v '^#16 ' "$work/setup.txt") >&2 \
  || fail "--version changed more than the version resource"
# The fixed part holds 2.31 and 400.65535 as two 32-bit numbers; the strings say it in UTF-16.
python3 - "$work/versioned.exe" <<'PY' || fail "--version did not reach the version resource"
import struct, sys
data = open(sys.argv[1], "rb").read()
fixed = data.find(struct.pack("<I", 0xFEEF04BD))
file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", data, fixed + 8)
assert (file_ms, file_ls) == (product_ms, product_ls) == (2 << 16 | 31, 400 << 16 | 65535)
assert data.count("2.31.400.65535".encode("utf-16-le")) == 2
assert "1.0.0.0".encode("utf-16-le") not in data
PY
# diff sees only the version: the resource that holds it, and the numbers.
status=0
"$zvpack" diff "$setup" "$work/versioned.exe" >"$work/diff.txt" || status=$?
[[ $status == 6 ]] && grep -qx 'version: 1.0.0.0 -> 2.31.400.65535' "$work/diff.txt" \
  && [[ $(grep -c '^archive [A-Z]*: same$' "$work/diff.txt") == 8 && $(grep -c '^resource ' "$work/diff.txt") == 1 ]] \
  || fail "diff of the setup and its versioned twin: exit $status: $(<"$work/diff.txt")"
"$zvpack" diff "$setup" "$work/again.exe" >/dev/null || fail "diff of two equal setups"
echo "$setup: headers, resources, archives and --version as expected"
