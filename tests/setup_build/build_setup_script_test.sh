#!/usr/bin/env bash
# scripts/build-setup.sh's stub route on the host, over a small PE stub (make_test_pe.py): a
# setup written, --exclude passed on, signing with a PKCS#12 file (a throwaway one made here)
# and by a command, and the command-line mistakes and refusals each in one line of its own
# (a wrong password and a time-stamp server that does not answer before anything is packed),
# with the setup already at --out kept and nothing left beside it.
# usage: build_setup_script_test.sh BUILD_SETUP ZVPACK MAKE_TEST_PE
set -euo pipefail
build_setup=$1 zvpack=$2 make_pe=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"

for name in BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION; do mkdir -p "payload/$name"; done
python3 "$make_pe" payload/SETUPBASE/Vistart.exe i386
python3 "$make_pe" payload/SETUPBASE/pidwait.exe i386
python3 "$make_pe" stub.exe i386
printf 'x' >payload/APPBASE/Thumbs.db; printf 'y' >payload/APPBASE/kept.txt
mkdir out
build() { "$build_setup" --stub stub.exe --payload payload --zvpack "$zvpack" --level 1 "$@"; }

build --quiet --exclude Thumbs.db --out out/setup.exe >log.txt || fail "build: $(<log.txt)"
grep -q '^build-setup: .*out/setup.exe ([0-9]* bytes, stub stub.exe)$' log.txt || fail "build: $(<log.txt)"
"$zvpack" list out/setup.exe >list.txt
grep -q kept.txt list.txt && ! grep -q Thumbs list.txt || fail "--exclude not passed on: $(<list.txt)"

refused() {  # label, text of the one line, build-setup.sh arguments...
  local label=$1 text=$2 status=0
  shift 2
  "$build_setup" "$@" >/dev/null 2>err.txt || status=$?
  [[ $status != 0 ]] || fail "$label: accepted"
  [[ $(<err.txt) == *"$text"* ]] || fail "$label: $(<err.txt)"
  [[ $(grep -vc '^zvpack: ' err.txt) == 1 ]] || fail "$label: not one line of its own: $(<err.txt)"
  [[ $(ls out) == setup.exe ]] && cmp -s out/setup.exe release.exe || fail "$label: left $(ls out) or changed setup.exe"
}
cp out/setup.exe release.exe
refused "--level without a value" "build-setup: --level needs a value" --stub stub.exe --payload payload --out out/x.exe --level
refused "an unknown option" "build-setup: unknown option --fast" --fast --out out/x.exe
refused "--out a folder" "build-setup: out: is a folder" --stub stub.exe --payload payload --zvpack "$zvpack" --out out
printf 'x' >payload/stray.txt
refused "a refused payload" "refused the payload" --stub stub.exe --payload payload --zvpack "$zvpack" --out out/x.exe
grep -q "payload/stray.txt: not one of the eight archives" err.txt || fail "the payload's problem is not named: $(<err.txt)"
rm payload/stray.txt
printf 'MZ not a PE' >bad-stub.exe
refused "a refused stub" "refused the stub" --stub bad-stub.exe --payload payload --zvpack "$zvpack" --out out/x.exe

# Signing: the PKCS#12 convenience, and what is refused before packing or fails after it.
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=Zelvora Test Signer" \
  -addext extendedKeyUsage=codeSigning 2>/dev/null
echo "test password $RANDOM" >password.txt
echo "not the password" >wrong.txt
openssl pkcs12 -export -inkey key.pem -in cert.pem -passout file:password.txt -out "signer's.p12"
build --quiet --sign-pkcs12 "signer's.p12" --sign-password-file password.txt --out out/signed.exe >log.txt 2>&1 \
  || fail "signing: $(<log.txt)"
osslsigncode verify -CAfile cert.pem -in out/signed.exe >verify.log 2>&1 && grep -q 'Text description: Zelvora Setup' verify.log \
  || fail "the PKCS#12 signature: $(<verify.log)"
rm out/signed.exe
refused "a wrong password" "signer's.p12: does not open with the password in wrong.txt; nothing packed" \
  --stub stub.exe --payload payload --zvpack "$zvpack" --sign-pkcs12 "signer's.p12" --sign-password-file wrong.txt \
  --out out/setup.exe
refused "a time-stamp server that does not answer" "with the time-stamp server http://127.0.0.1:9 failed (HTTP failure: Failed to get data from http://127.0.0.1:9); nothing packed" \
  --stub stub.exe --payload payload --zvpack "$zvpack" --sign-pkcs12 "signer's.p12" --sign-password-file password.txt \
  --timestamp http://127.0.0.1:9 --out out/setup.exe
build --quiet --sign-command 'mv {file} copy.exe && osslsigncode sign -pkcs12 "signer'"'"'s.p12" -readpass password.txt -in copy.exe -out {file}' \
  --out out/by-command.exe >log.txt 2>&1 || fail "a signing command with paths relative to the caller: $(<log.txt)"
osslsigncode verify -CAfile cert.pem -in out/by-command.exe >verify.log 2>&1 || fail "signed by command: $(<verify.log)"
rm out/by-command.exe copy.exe
refused "a signing command that fails" "signing $PWD/out/setup.exe failed; the setup there before is as it was" \
  --stub stub.exe --payload payload --zvpack "$zvpack" --sign-command 'false {file}' --out out/setup.exe
refused "--out the stub" "stub.exe: is the stub" --stub stub.exe --payload payload --out ./stub.exe
refused "--out in no folder" "the folder out/new does not exist" --stub stub.exe --payload payload --out out/new/x.exe
echo "build-setup.sh stub route: ok"
