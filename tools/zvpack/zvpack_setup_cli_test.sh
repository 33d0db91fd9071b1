#!/usr/bin/env bash
# "zvpack setup" refusing what it must before it packs anything: a payload of the wrong form,
# a SETUPBASE without the next stage's programs (also with --check), a payload too large for a 32-bit process (a
# sparse file, so no gigabytes are written), a bad --version and a stub that is no PE image.
# Each gives its exit code and one line naming the file, and leaves nothing at --out. The
# writes into real stubs are checked by the Windows builds.
# usage: zvpack_setup_cli_test.sh ZVPACK_BINARY
set -eu
zvpack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
names=(BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION)

payload=$work/payload
for name in "${names[@]}"; do mkdir -p "$payload/$name"; done
printf 'stage' >"$payload/SETUPBASE/Vistart.exe"
printf 'wait' >"$payload/SETUPBASE/pidwait.exe"
printf 'not a PE image' >"$work/stub.exe"

refused() {  # expected exit, text the message holds, label, zvpack setup arguments...
  local code=$1 text=$2 label=$3 status=0
  shift 3
  "$zvpack" setup "$@" --out "$work/setup.exe" 2>"$work/err.txt" || status=$?
  [[ $status == "$code" ]] || fail "$label: exit $status, not $code ($(<"$work/err.txt"))"
  [[ $(wc -l <"$work/err.txt") == 1 ]] && grep -qF -- "$text" "$work/err.txt" \
    || fail "$label: message \"$(<"$work/err.txt")\" lacks \"$text\""
  [[ -z $(ls "$work" | grep -F setup.exe) ]] || fail "$label: something was left at --out"
}

# The payload itself is fine: only the stub is refused.
refused 3 "$work/stub.exe: no MZ header" "not a PE stub" --stub "$work/stub.exe" --payload "$payload"
refused 1 "needs --stub, --payload and --out" "no payload" --stub "$work/stub.exe"
refused 1 "--version needs A.B.C.D" "bad version" --stub "$work/stub.exe" --payload "$payload" --version 1.2.3

mv "$payload/ZVIMAGE" "$work/ZVIMAGE"
refused 2 "$payload: neither a folder ZVIMAGE nor a list file ZVIMAGE.list" "archive missing" \
  --stub "$work/stub.exe" --payload "$payload"
mv "$work/ZVIMAGE" "$payload/ZVIMAGE"

manifest=$work/setup.manifest
for name in "${names[@]}"; do echo "$name payload/$name"; done >"$manifest"
refused 3 "no MZ header" "manifest accepted" --stub "$work/stub.exe" --payload "$manifest"
echo "base payload/BASE" >>"$manifest"
refused 2 "$manifest:9: BASE is named twice" "twice" --stub "$work/stub.exe" --payload "$manifest"
sed -i '$d; /^PICTLITE /d' "$manifest"
refused 2 "$manifest: no line for PICTLITE" "line missing" --stub "$work/stub.exe" --payload "$manifest"
echo "EXTRA payload/BASE" >>"$manifest"
refused 2 "EXTRA is not one of the setup's archives" "unknown name" --stub "$work/stub.exe" --payload "$manifest"

rm "$payload/SETUPBASE/pidwait.exe"
refused 2 "$payload/SETUPBASE: archive SETUPBASE has no pidwait.exe" "no pidwait.exe" \
  --stub "$work/stub.exe" --payload "$payload"
printf 'wait' >"$payload/SETUPBASE/PIDWAIT.EXE"

# 1 GiB and a little more, as a sparse file: refused from its size, before any compression.
truncate -s 1025M "$payload/APPBASE/big.bin"
refused 2 "MiB a 32-bit setup can map" "payload too large" --stub "$work/stub.exe" --payload "$payload"
truncate -s 1000M "$payload/APPBASE/big.bin"
refused 3 "no MZ header" "a payload under the limit" --stub "$work/stub.exe" --payload "$payload"
"$zvpack" setup --check --payload "$payload" | grep -qx "$payload: ok, at most 1001 MiB packed" \
  || fail "--check of a good payload"
rm "$payload/SETUPBASE/Vistart.exe"
refused 2 "has no Vistart.exe" "--check without Vistart.exe" --check --payload "$payload"
echo "zvpack setup: every refusal as expected"
