#!/usr/bin/env bash
# "zvpack setup" refusing what it must before it packs anything, over small PE images made
# by make_test_pe.py: a payload of the wrong form or with strays at its top level, a SETUPBASE
# without the next stage's programs or with ones that are no programs for the stub's machine,
# a path in two unpacked archives, every bad name in one run, a bad command line, --out into a
# missing folder or naming a folder, a stub that is no PE image. Each gives its exit code and
# names the files, and leaves nothing at --out. Warnings: empty folders, names beyond ASCII
# naming the payload's folder, the same from --check as from the pack; --exclude.
# usage: zvpack_setup_cli_test.sh [--runner RUNNER] ZVPACK_BINARY
set -eu
source "$(dirname "$0")/setup_test_support.sh"
names=(BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION)

payload=$work/payload
for name in "${names[@]}"; do mkdir -p "$payload/$name"; done
pe "$payload/SETUPBASE/Vistart.exe" i386
pe "$payload/SETUPBASE/pidwait.exe" i386
pe "$work/stub.exe" i386
printf 'not a PE image' >"$work/text.exe"

refused() {  # expected exit, text the message holds, label, zvpack setup arguments...
  local code=$1 text=$2 label=$3 status=0 out=(--out "$work/setup.exe")
  shift 3
  [[ " $* " != *" --check "* ]] || out=()
  "${zvpack[@]}" setup -q "$@" "${out[@]}" 2>"$work/err.txt" || status=$?
  [[ $status == "$code" ]] || fail "$label: exit $status, not $code ($(<"$work/err.txt"))"
  says "$work/err.txt" "$text" || fail "$label: message \"$(<"$work/err.txt")\" lacks \"$text\""
  [[ -z $(ls "$work" | grep -F setup.exe) ]] || fail "$label: something was left at --out"
}
# FILE holds TEXT, the path separators aside (as_host).
says() { [[ $(as_host "$(<"$1")") == *"$(as_host "$2")"* ]]; }
says_line() { as_host "$(<"$1")" | grep -qxF -- "$(as_host "$2")"; }
one_line() { [[ $(wc -l <"$work/err.txt") == 1 ]] || fail "$1: not one line: $(<"$work/err.txt")"; }

refused 5 "$work/text.exe: no MZ header" "not a PE stub" --stub "$work/text.exe" --payload "$payload"
one_line "not a PE stub"
# A bad command line: named in one line with the pointer to the help.
refused 1 "zvpack setup: needs --stub, --payload and --out (zvpack help setup" "no payload" --stub "$work/stub.exe"
refused 1 "unknown option --bogus (zvpack help setup shows the usage)" "unknown" --bogus --payload "$payload"
msg=$("${zvpack[@]}" setup --payload "$payload" --check --exclude 2>&1) && fail "incomplete option"
[[ $msg == "zvpack setup: --exclude needs a value (zvpack help setup shows the usage)" ]] || fail "incomplete: $msg"
refused 1 "--version needs A.B.C.D" "bad version" --stub "$work/stub.exe" --payload "$payload" --version 1.2.3
one_line "bad version"
msg=$("${zvpack[@]}" setup --stub "$work/stub.exe" --payload "$payload" --out "$work/no/setup.exe" 2>&1) && fail "missing folder"
[[ $(as_host "$msg") == "zvpack: $work/no/setup.exe: the folder $work/no does not exist" ]] || fail "missing folder: $msg"
mkdir "$work/folder"
msg=$("${zvpack[@]}" setup --stub "$work/stub.exe" --payload "$payload" --out "$work/folder" 2>&1) && fail "--out a folder"
[[ $(as_host "$msg") == *"$work/folder: is a folder"* && -z $(ls "$work/folder") ]] || fail "--out a folder: $msg"

mv "$payload/ZVIMAGE" "$work/ZVIMAGE"
refused 2 "$payload: neither a folder ZVIMAGE nor a list file ZVIMAGE.list" "archive missing" \
  --stub "$work/stub.exe" --payload "$payload"
mv "$work/ZVIMAGE" "$payload/ZVIMAGE"
# Strays at the top level, every one named; a manifest packs what it names and nothing else.
printf 'x' >"$payload/notes.txt"; mkdir "$payload/EXTRAS"
refused 2 "$payload/EXTRAS: not one of the eight archives" "a stray folder" --check --payload "$payload"
says "$work/err.txt" "$payload/notes.txt: not one of the eight archives" || fail "a stray file is not named"
manifest=$work/setup.manifest
for name in "${names[@]}"; do echo "$name payload/$name"; done >"$manifest"
"${zvpack[@]}" setup --check --payload "$manifest" >/dev/null || fail "a manifest beside strays"
rm -r "$payload/notes.txt" "$payload/EXTRAS"
echo "base payload/BASE" >>"$manifest"
refused 2 "$manifest:9: BASE is named twice" "twice" --stub "$work/stub.exe" --payload "$manifest"
sed -i '$d; /^PICTLITE /d' "$manifest"
refused 2 "$manifest: no line for PICTLITE" "line missing" --stub "$work/stub.exe" --payload "$manifest"

# The next stage's programs: there, programs, and for the stub's machine.
rm "$payload/SETUPBASE/pidwait.exe"
refused 2 "$payload/SETUPBASE: archive SETUPBASE has no pidwait.exe" "no pidwait.exe" \
  --stub "$work/stub.exe" --payload "$payload"
printf 'wait' >"$payload/SETUPBASE/PIDWAIT.EXE"
refused 2 "PIDWAIT.EXE: PIDWAIT.EXE is not a Windows program" "pidwait.exe text" --check --payload "$payload"
pe "$payload/SETUPBASE/PIDWAIT.EXE" i386 dll
refused 2 "PIDWAIT.EXE is not a Windows program" "pidwait.exe a library" --check --payload "$payload"
pe "$payload/SETUPBASE/PIDWAIT.EXE" amd64
"${zvpack[@]}" setup --check --payload "$payload" >/dev/null || fail "--check without a stub takes any machine"
refused 2 "PIDWAIT.EXE is a program for x86-64 (PE32+), the stub for i386 (PE32)" "another machine" \
  --stub "$work/stub.exe" --payload "$payload"
refused 2 "is a program for x86-64 (PE32+)" "--check with the stub" --check --stub "$work/stub.exe" --payload "$payload"
pe "$payload/SETUPBASE/PIDWAIT.EXE" i386

# A path in two unpacked archives (case ignored); APPBASE stays packed and may repeat it.
mkdir -p "$payload/BASE/Data" "$payload/PICTLITE/DATA" "$payload/APPBASE/Data"
printf 'a' >"$payload/BASE/Data/x.bin"; printf 'b' >"$payload/PICTLITE/DATA/X.BIN"; printf 'c' >"$payload/APPBASE/Data/x.bin"
refused 2 "PICTLITE/DATA/X.BIN: \"DATA\\X.BIN\" is in archive PICTLITE and in archive BASE ($payload/BASE/Data/x.bin)" \
  "a path twice" --stub "$work/stub.exe" --payload "$payload"
one_line "a path twice"
rm -r "$payload/PICTLITE/DATA"

# Every bad name in one run, across archives.
printf 'x' >"$payload/BASE/aux.txt"; printf 'x' >"$payload/APPBASE/日本.txt"; printf 'x' >"$payload/ZVIMAGE/con"
# Windows opens a device for a device's name (so does Wine for a Linux file of that name): there
# the tool says what it found rather than that the name is reserved.
reserved="BASE/aux.txt: entry name \"aux.txt\""
! windows || reserved="BASE/aux.txt: "
refused 2 "$reserved" "bad names" --stub "$work/stub.exe" --payload "$payload"
[[ $(wc -l <"$work/err.txt") == 3 ]] && says "$work/err.txt" "APPBASE/日本.txt" && says "$work/err.txt" "ZVIMAGE/con" \
  || fail "not every bad name reported: $(<"$work/err.txt")"
rm "$payload/BASE/aux.txt" "$payload/APPBASE/日本.txt" "$payload/ZVIMAGE/con"

# Warnings: --check gives the ones the pack gives; names beyond ASCII name the payload's folder.
mkdir -p "$payload/APPBASE/Empty/Inner" "$payload/APPBASE/.git/objects"
printf 'x' >"$payload/APPBASE/.git/objects/ab"; printf 'x' >"$payload/APPBASE/Thumbs.db"; printf 'é' >"$payload/APPBASE/Café.txt"
"${zvpack[@]}" setup --check --exclude .git --exclude 'thumbs.DB' --payload "$payload" >/dev/null 2>"$work/check.txt" \
  || fail "--check with warnings: $(<"$work/check.txt")"
"${zvpack[@]}" setup -q --exclude .git --exclude 'thumbs.DB' --stub "$work/stub.exe" --payload "$payload" \
  --out "$work/setup.exe" 2>"$work/pack.txt" || fail "setup with warnings: $(<"$work/pack.txt")"
diff "$work/check.txt" "$work/pack.txt" >&2 || fail "--check and the pack warn differently"
says_line "$work/pack.txt" "zvpack: warning: $payload/APPBASE/Empty: an empty folder, not stored (archives hold files, not folders)" \
  || fail "no warning for the empty folder: $(<"$work/pack.txt")"
says "$work/pack.txt" "zvpack: warning: $payload/APPBASE: names beyond ASCII (such as \"Café.txt\")" \
  || fail "the name warning does not name the payload's folder: $(<"$work/pack.txt")"
[[ $(wc -l <"$work/pack.txt") == 2 ]] || fail "warnings: $(<"$work/pack.txt")"
"${zvpack[@]}" list "$work/setup.exe" >"$work/list.txt"
grep -q 'Café.txt' "$work/list.txt" && ! grep -qi 'git\|thumbs' "$work/list.txt" || fail "--exclude: $(<"$work/list.txt")"
echo "zvpack setup: every refusal and warning as expected"
