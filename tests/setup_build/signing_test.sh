#!/usr/bin/env bash
# Signs a setup through scripts/build-setup.sh with a certificate of a throwaway CA made here
# (nothing of it is kept): the signature verifies against that CA, zvpack still reads every
# archive, a signed stub is refused, a failed signing leaves nothing at --out, and without
# signing two builds give the same bytes; at the default level every stream begins 78 9C.
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

build --out signed.exe --sign-pkcs12 signer.p12 --sign-password-file password.txt >/dev/null
osslsigncode verify -CAfile ca.pem -in signed.exe >verify.log 2>&1 || { cat verify.log >&2; fail "the signature does not verify"; }
grep -q "Message digest algorithm *: SHA256" verify.log || fail "the signature is not SHA-256"
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
echo "an older setup" >refused.exe
status=0
build --out refused.exe --sign-pkcs12 signer.p12 --sign-password-file wrong.txt >/dev/null 2>err.txt || status=$?
[[ $status != 0 ]] || fail "signing with a wrong password succeeded"
[[ ! -e refused.exe ]] || fail "a failed signing left a file at --out"
[[ -z $(ls | grep -F 'refused.exe.') ]] || fail "a failed signing left temporary files"

# At the default level (--best) every stream still begins 78 9C, as the launcher's archives
# always have.
"$build_setup" --stub "$stub" --payload "$payload" --zvpack "$zvpack" --out best.exe >/dev/null
python3 "$here/pe_image.py" streams best.exe >streams.txt
[[ $(grep -c ' 78 9C$' streams.txt) == 8 ]] || { cat streams.txt >&2; fail "a stream of the --best setup does not begin 78 9C"; }

cp signed.exe "$signed_out"
echo "signed setup: verifies against the test CA, reads with zvpack; refusals as expected"
