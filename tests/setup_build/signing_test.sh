#!/usr/bin/env bash
# Signs a setup through scripts/build-setup.sh with a certificate of a throwaway CA made here
# (nothing of it is kept): the signature verifies against that CA and its description follows
# --version-info FileDescription, the version strings are in the setup, zvpack still reads
# every archive, a signed stub is refused, a failed signing (a wrong password before packing,
# a failing command after it) keeps the setup already at --out, and without signing two builds
# give the same bytes; at the default level every stream begins 78 9C.
# The signed setup is kept at SIGNED_OUT for the run under Wine.
# usage: signing_test.sh BUILD_SETUP ZVPACK STUB PAYLOAD SIGNED_OUT
set -euo pipefail
build_setup=$1 zvpack=$2 stub=$3 payload=$4 signed_out=$5
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The CA and a code-signing certificate it issues, in a PKCS#12 file with a password.
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Zelvora Test CA" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Zelvora Test Signer" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
  -out signer.pem 2>/dev/null
echo "test password $RANDOM" >password.txt
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout file:password.txt -out signer.p12

build() { "$build_setup" --stub "$stub" --payload "$payload" --zvpack "$zvpack" --level 1 "$@"; }

build --out signed.exe --sign-pkcs12 signer.p12 --sign-password-file password.txt --version 1.2.0.0 \
  --version-info 'FileDescription=Zelvora Photo Setup' --version-info 'LegalCopyright=© 2026 Zelvora Café' >/dev/null 2>&1
osslsigncode verify -CAfile ca.pem -in signed.exe >verify.log 2>&1 || { cat verify.log >&2; fail "the signature does not verify"; }
grep -q "Message digest algorithm *: SHA256" verify.log || fail "the signature is not SHA-256"
grep -q "Text description: Zelvora Photo Setup" verify.log || fail "the signature's description: $(<verify.log)"
python3 -c "import sys; b = open(sys.argv[1], 'rb').read()
assert all(t.encode('utf-16-le') in b for t in ('Zelvora Photo Setup', '© 2026 Zelvora Café', '1.2.0.0'))" signed.exe \
  || fail "the version strings are not in the signed setup"
[[ $("$zvpack" verify signed.exe | grep -c ': ok$') == 8 ]] || fail "zvpack verify of the signed setup"
"$zvpack" list signed.exe >/dev/null || fail "zvpack list of the signed setup"

build --out unsigned.exe >/dev/null
build --out unsigned-again.exe >/dev/null
cmp unsigned.exe unsigned-again.exe || fail "two unsigned builds differ"
"$zvpack" extract signed.exe from-signed >/dev/null && "$zvpack" extract unsigned.exe from-unsigned >/dev/null
diff -r from-signed from-unsigned >&2 || fail "the signed setup unpacks differently"

status=0
"$zvpack" setup --stub signed.exe --payload "$payload" --out resigned.exe 2>err.txt || status=$?
[[ $status == 5 ]] && grep -q "signed" err.txt || fail "a signed stub was not refused (exit $status: $(<err.txt))"
[[ ! -e resigned.exe ]] || fail "a refused stub left a setup behind"

echo "not the password" >wrong.txt
cp signed.exe release.exe
kept_after_failed_signing() {  # WHAT, build-setup.sh options
  local what=$1 status=0
  shift
  build --out release.exe "$@" >/dev/null 2>err.txt || status=$?
  [[ $status != 0 ]] || fail "signing with $what succeeded"
  cmp -s release.exe signed.exe || fail "a failed signing ($what) changed the setup at --out: $(<err.txt)"
  [[ -z $(ls | grep -F 'release.exe.') ]] || fail "a failed signing ($what) left temporary files"
}
kept_after_failed_signing "a wrong password" --sign-pkcs12 signer.p12 --sign-password-file wrong.txt
kept_after_failed_signing "a failing command" --sign-command 'false {file}'

# At the default level (--best) every stream still begins 78 9C, as the launcher's archives
# always have.
"$build_setup" --stub "$stub" --payload "$payload" --zvpack "$zvpack" --out best.exe >/dev/null
python3 "$here/pe_image.py" streams best.exe >streams.txt
[[ $(grep -c ' 78 9C$' streams.txt) == 8 ]] || { cat streams.txt >&2; fail "a stream of the --best setup does not begin 78 9C"; }

cp signed.exe "$signed_out"
echo "signed setup: verifies against the test CA, reads with zvpack; refusals as expected"
