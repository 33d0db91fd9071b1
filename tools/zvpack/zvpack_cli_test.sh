#!/usr/bin/env bash
# The zvpack command line end to end: create, list, verify, extract, exit codes.
# usage: zvpack_cli_test.sh ZVPACK_BINARY
set -eu
zvpack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/src/Docs/Eng" "$work/src/data"
printf 'licence' > "$work/src/Docs/Eng/a.rtf"
head -c 100000 /dev/urandom > "$work/src/data/r.bin"
: > "$work/src/empty"

"$zvpack" create "$work/a.zva" "$work/src" || fail "create"
"$zvpack" create --threads 1 -6 "$work/b.zva" "$work/src" || fail "create --threads 1"
cmp -s "$work/a.zva" "$work/b.zva" || fail "threads change the bytes"
"$zvpack" list "$work/a.zva" | grep -q 'Docs\\Eng\\a.rtf' || fail "list"
"$zvpack" create --best "$work/best.zva" "$work/src" || fail "create --best"
"$zvpack" create --best --threads 1 "$work/best1.zva" "$work/src" || fail "create --best --threads 1"
cmp -s "$work/best.zva" "$work/best1.zva" || fail "threads change the bytes of --best"
"$zvpack" verify "$work/best.zva" | grep -q ': ok$' || fail "verify --best"
"$zvpack" extract "$work/best.zva" "$work/best_out" || fail "extract --best"
diff -r "$work/src" "$work/best_out" || fail "extract of --best differs"
"$zvpack" verify "$work/a.zva" | grep -q ': ok$' || fail "verify"
"$zvpack" extract "$work/a.zva" "$work/out" || fail "extract"
diff -r "$work/src" "$work/out" || fail "extract differs"

printf 'Docs/x.txt\t%s\n' "$work/src/empty" > "$work/list.txt"
"$zvpack" create "$work/l.zva" --list "$work/list.txt" || fail "create --list"
"$zvpack" list "$work/l.zva" | grep -q 'Docs\\x.txt' || fail "list of --list archive"

# Exit codes: 1 usage, 2 create failed, 3 damaged input.
set +e
"$zvpack" bogus 2>/dev/null; [ $? -eq 1 ] || fail "usage exit code"
touch "$work/src/aux.txt"
msg=$("$zvpack" create "$work/c.zva" "$work/src" 2>&1); [ $? -eq 2 ] || fail "refused name exit code"
[ "$(printf '%s\n' "$msg" | wc -l)" -eq 1 ] || fail "refusal is not one line: $msg"
case $msg in *aux.txt*) ;; *) fail "refusal does not name the file: $msg" ;; esac
[ ! -e "$work/c.zva" ] || fail "refused archive left behind"
head -c 100 "$work/a.zva" > "$work/cut.zva"
"$zvpack" verify "$work/cut.zva" 2>/dev/null; [ $? -eq 3 ] || fail "damaged exit code"
# No progress line when stderr is not a terminal.
rm "$work/src/aux.txt"
[ -z "$("$zvpack" create "$work/d.zva" "$work/src" 2>&1)" ] || fail "output without a terminal"
echo "zvpack command line: ok"
