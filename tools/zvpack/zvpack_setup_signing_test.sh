#!/usr/bin/env bash
# "zvpack setup --sign-command" over small PE images made by make_test_pe.py, with a
# throwaway certificate made here: osslsigncode as the command, into a folder whose name has
# a blank and a quote; a release already at --out kept whatever fails (a command that fails
# on every try, one that leaves no signature, one that changes a byte, SIGINT and SIGTERM
# while it runs, a full disk) with nothing new beside it; retries; stdout kept to zvpack's own; the
# refusals before packing. zvpack.exe runs the command through cmd /c, where the Linux programs
# (osslsigncode, sh, ...) are started through the win64 build's wine_unix_exec.exe; Wine 8's cmd
# runs the right side of && and || whatever the left one's exit, so there the steps that depend
# on each other go into one sh script.
# usage: zvpack_setup_signing_test.sh [--runner RUNNER] ZVPACK_BINARY [WINE_UNIX_EXEC]
set -eu
source "$(dirname "$0")/setup_test_support.sh"
if windows; then
  [[ -f ${1:-} ]] || fail "zvpack.exe needs the path of wine_unix_exec.exe"
  # Its Windows name: Wine's drive Z: is /.
  unix="\"Z:$(realpath "$1" | tr / '\\')\" "
else
  unix=
fi
cd "$work"

for name in BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION; do mkdir -p "payload/$name"; done
pe payload/SETUPBASE/Vistart.exe i386
pe payload/SETUPBASE/pidwait.exe i386
seq 1 20000 >payload/APPBASE/readme.txt
pe stub.exe i386
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=Zelvora Test Signer" \
  -addext extendedKeyUsage=codeSigning 2>/dev/null
echo "test password $RANDOM" >password.txt
openssl pkcs12 -export -inkey key.pem -in cert.pem -passout file:password.txt -out signer.p12
osslsign="osslsigncode sign -pkcs12 '$work/signer.p12' -readpass '$work/password.txt' -h sha256 -n Test"
osslsign+=" -in {file} -out {file}.signed && mv {file}.signed {file}"
# Windows: sign.sh FILE [PKCS12] signs in place, exit 1 when it cannot; once.sh FILE fails on its
# first run and signs on the next.
cat >sign.sh <<EOF
osslsigncode sign -pkcs12 "\${2:-$work/signer.p12}" -readpass '$work/password.txt' -h sha256 -n Test \\
  -in "\$1" -out "\$1.signed" && mv "\$1.signed" "\$1" || exit 1
EOF
cat >once.sh <<EOF
echo chatter; n=\$(cat '$work/tries'); echo 1 >'$work/tries'; [ \$n = 1 ] && sh '$work/sign.sh' "\$1"
EOF
! windows || osslsign="${unix}sh $work/sign.sh {file}"
# A command that changes the byte at OFFSET of {file}.
poke() {
  if windows; then
    echo "${unix}python3 -c \"import sys; f = open(sys.argv[1], 'r+b'); f.seek($1); f.write(b'Z')\" {file}"
  else
    echo "printf Z | dd of={file} bs=1 seek=$1 conv=notrunc 2>/dev/null"
  fi
}

out="$work/dist/it's a release"
mkdir -p "$out"
setup() { "${zvpack[@]}" setup -q -1 --stub stub.exe --payload payload "$@"; }

# Signed in place by osslsigncode, under a path the interpreter must get as one word.
setup --out "$out/zvsetup.exe" --sign-command "$osslsign" 2>err.txt || fail "signing: $(<err.txt)"
osslsigncode verify -CAfile cert.pem -in "$out/zvsetup.exe" >verify.log 2>&1 || fail "no signature: $(<verify.log)"
mode=755
! windows || mode=$(stat -c %a "$out/zvsetup.exe")  # Wine's own choice: Windows keeps no Unix mode
[[ $(stat -c %a "$out/zvsetup.exe") == "$mode" && $(ls "$out") == zvsetup.exe ]] \
  || fail "signed setup: mode $(stat -c %a "$out/zvsetup.exe"), beside it: $(ls "$out")"
[[ $("${zvpack[@]}" verify "$out/zvsetup.exe" | grep -c ': ok$') == 8 ]] || fail "zvpack verify of the signed setup"
cp "$out/zvsetup.exe" release.exe

# Whatever fails, the release at --out stays, and nothing new is beside it.
kept() {
  cmp -s "$out/zvsetup.exe" release.exe && [[ $(ls "$out") == zvsetup.exe ]] \
    || fail "$1: the release at --out changed or something was left: $(ls "$out")"
}
refused() {  # WHAT EXPECTED_MESSAGE ARGS...
  local what=$1 message=$2 status=0
  shift 2
  setup --out "$out/zvsetup.exe" "$@" >/dev/null 2>err.txt || status=$?
  [[ $status == 7 ]] && grep -q -- "$message" err.txt || fail "$what: exit $status: $(<err.txt)"
  kept "$what"
}
refused "a command failing on every try" 'zvsetup.exe: the signing command failed (exit 3); the setup was not written' \
  --sign-retries 2 --sign-retry-delay 0 --sign-command 'exit 3 {file}'
[[ $(grep -c 'trying again in 0 s' err.txt) == 2 ]] || fail "not two retries: $(<err.txt)"
failing="${osslsign/signer.p12/missing.p12} || exit 1"
! windows || failing="$osslsign $work/missing.p12"
refused "a failing osslsigncode" 'the signing command failed (exit 1)' --sign-command "$failing"
refused "a command that does not sign" 'carries no signature' --sign-command "${unix}touch {file}"
refused "a command that appends" 'its certificate table is empty' --sign-command 'echo x >>{file}'
refused "a command that changes a byte" 'not the setup written with a signature added' \
  --sign-command "$osslsign && $(poke 700)"
refused "a command that breaks the PE header after signing" 'is no PE image any more' \
  --sign-command "$osslsign && $(poke 0)"
# Windows has Ctrl-C alone, which reaches every program of the console; under Wine the tool gets
# it for SIGINT, and the command's Linux program is given its own.
signals=(INT TERM) sleeper="touch {file}.part; echo \$\$ >started; exec sleep 30"
if windows; then
  skipped "SIGTERM while signing" "Windows programs know no signals but Ctrl-C"
  signals=(INT)
  sleeper="${unix}python3 -c \"import os, sys; open(sys.argv[1] + '.part', 'w'); open('$work/started', 'w').write(str(os.getpid()))"
  sleeper+="; os.execvp('sleep', ['sleep', '30'])\" {file}"
fi
for signal in "${signals[@]}"; do
  env --default-signal="$signal" "${zvpack[@]}" setup -q -1 --stub stub.exe --payload payload --out "$out/zvsetup.exe" \
    --sign-command "$sleeper" 2>/dev/null & pid=$!
  for _ in $(seq 1 1000); do [[ -s started ]] && break; sleep 0.01; done
  kill -"$signal" $pid; status=0
  ! windows || kill -INT "$(<started)"
  wait $pid || status=$?
  rm -f started
  [[ $status -gt 128 ]] || { windows && [[ $status == 58 ]]; } || fail "SIG$signal while signing: exit $status"
  kept "SIG$signal while signing"
done

# A full disk, in a mount namespace of its own: --out on a small file system where the setup
# does not fit, then where it fits but its signed copy does not; the release there is kept.
if windows; then
  skipped "a full disk" "the wineserver, which opens the files, sees no mount of the test's own namespace"
elif unshare -m true 2>/dev/null; then
  head -c 70000 /dev/urandom >payload/APPBASE/random.bin
  mkdir small
  status=0
  unshare -m bash -eu -c '
    zvpack=("$@")
    full() {  # SIZE EXPECTED_EXIT MESSAGE ARGS...
      local size=$1 code=$2 message=$3 status=0
      shift 3
      mount -t tmpfs -o size=$size tmpfs small
      echo "an older release" >small/zvsetup.exe
      "${zvpack[@]}" setup -q -1 --stub stub.exe --payload payload --out small/zvsetup.exe "$@" 2>err.txt || status=$?
      [[ $status == "$code" ]] && grep -q -- "$message" err.txt \
        && [[ $(ls small) == zvsetup.exe && $(<small/zvsetup.exe) == "an older release" ]] \
        || { echo "FAIL: a full disk ($size): exit $status, left $(ls small): $(<err.txt)" >&2; exit 1; }
      umount small
    }
    full 48k 2 "small/zvsetup.exe: write failed"
    full 128k 7 "the signing command failed" --sign-command "$0"' "$osslsign" "${zvpack[@]}" || status=$?
  [[ $status == 0 ]] || fail "a full disk"
  rm payload/APPBASE/random.bin
fi

# Retried: a command that fails once and then signs; what it prints stays off stdout.
echo 0 >tries
once="echo chatter; n=\$(cat tries); echo 1 >tries; [ \$n = 1 ] && $osslsign"
! windows || once="${unix}sh $work/once.sh {file}"
setup --json --out "$out/zvsetup.exe" --sign-retries 1 --sign-retry-delay 0 --sign-command "$once" >setup.json 2>err.txt \
  || fail "a retried command: $(<err.txt)"
grep -q 'failed (exit 1); trying again in 0 s (2 of 2)' err.txt && grep -q chatter err.txt || fail "retry: $(<err.txt)"
python3 -c "import json, sys; d = json.load(open(sys.argv[1])); assert d['ok'] and d['bytes'] == int(sys.argv[2])" \
  setup.json "$(stat -c %s "$out/zvsetup.exe")" || fail "stdout: $(<setup.json)"
osslsigncode verify -CAfile cert.pem -in "$out/zvsetup.exe" >/dev/null 2>&1 || fail "the retried setup is not signed"

# Bad command lines and what is refused before packing.
bad() {  # EXIT MESSAGE ARGS...
  local code=$1 message=$2 status=0
  shift 2
  setup "$@" 2>err.txt || status=$?
  [[ $status == "$code" ]] && grep -q -- "$message" err.txt || fail "$*: exit $status: $(<err.txt)"
}
bad 1 'needs {file} where' --out x.exe --sign-command 'signtool sign setup.exe'
bad 1 '--sign-retries needs a number from 0 to 100' --out x.exe --sign-retries 101 --sign-command '{file}'
bad 1 '--sign-retry-delay needs whole seconds' --out x.exe --sign-retry-delay 1.5 --sign-command '{file}'
bad 1 'no --out, --version, --version-info or --sign-command' --check --sign-command 'x {file}'
bad 1 '--sign-retries and --sign-retry-delay need --sign-command' --out x.exe --sign-retries 2
bad 2 'stub.exe: is the stub' --out ./stub.exe
bad 2 'is a folder' --out "$out"
echo "zvpack setup --sign-command: signed, retried, and a failure keeps the release"
