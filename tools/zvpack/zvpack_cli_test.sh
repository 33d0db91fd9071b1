#!/usr/bin/env bash
# The zvpack command line end to end: create, list, verify, extract, exit codes, the help
# (every command's, and the README agreeing with it), the progress on a terminal and off it.
# usage: zvpack_cli_test.sh [--runner RUNNER] ZVPACK_BINARY README
set -eu
source "$(dirname "$0")/setup_test_support.sh"
readme=$1

mkdir -p "$work/src/Docs/Eng" "$work/src/data"
printf 'licence' > "$work/src/Docs/Eng/a.rtf"
head -c 100000 /dev/urandom > "$work/src/data/r.bin"
: > "$work/src/empty"

"${zvpack[@]}" create "$work/a.zva" "$work/src" || fail "create"
"${zvpack[@]}" create --threads 1 -6 "$work/b.zva" "$work/src" || fail "create --threads 1"
cmp -s "$work/a.zva" "$work/b.zva" || fail "threads change the bytes"
"${zvpack[@]}" list "$work/a.zva" | grep -q 'Docs\\Eng\\a.rtf' || fail "list"
"${zvpack[@]}" create --best "$work/best.zva" "$work/src" || fail "create --best"
"${zvpack[@]}" create --best --threads 1 "$work/best1.zva" "$work/src" || fail "create --best --threads 1"
cmp -s "$work/best.zva" "$work/best1.zva" || fail "threads change the bytes of --best"
"${zvpack[@]}" verify "$work/best.zva" | grep -q ': ok$' || fail "verify --best"
"${zvpack[@]}" extract "$work/best.zva" "$work/best_out" || fail "extract --best"
diff -r "$work/src" "$work/best_out" || fail "extract of --best differs"
"${zvpack[@]}" verify "$work/a.zva" | grep -q ': ok$' || fail "verify"
"${zvpack[@]}" extract "$work/a.zva" "$work/out" || fail "extract"
diff -r "$work/src" "$work/out" || fail "extract differs"

printf 'Docs/x.txt\t%s\n' "$work/src/empty" > "$work/list.txt"
"${zvpack[@]}" create "$work/l.zva" --list "$work/list.txt" || fail "create --list"
"${zvpack[@]}" list "$work/l.zva" | grep -q 'Docs\\x.txt' || fail "list of --list archive"

# Exit codes: 1 usage, 2 create failed, 3 damaged input.
set +e
"${zvpack[@]}" bogus 2>/dev/null; [ $? -eq 1 ] || fail "usage exit code"
touch "$work/src/aux.txt"
msg=$("${zvpack[@]}" create -q "$work/c.zva" "$work/src" 2>&1); [ $? -eq 2 ] || fail "refused name exit code"
[ "$(printf '%s\n' "$msg" | wc -l)" -eq 1 ] || fail "refusal is not one line: $msg"
case $msg in *aux.txt*) ;; *) fail "refusal does not name the file: $msg" ;; esac
[ ! -e "$work/c.zva" ] || fail "refused archive left behind"
head -c 100 "$work/a.zva" > "$work/cut.zva"
"${zvpack[@]}" verify "$work/cut.zva" 2>/dev/null; [ $? -eq 3 ] || fail "damaged exit code"
# Not on a terminal: one plain line per archive on stderr, no carriage return; the summary
# table on stdout; --quiet says nothing.
rm "$work/src/aux.txt"
"${zvpack[@]}" create "$work/d.zva" "$work/src" >"$work/out.txt" 2>"$work/err.txt" || fail "create for the summary"
[ "$(wc -l <"$work/err.txt")" -eq 1 ] && grep -q ': 3 files, .* in, .* out (.*%), .* s$' "$work/err.txt" \
  || fail "progress without a terminal: $(cat "$work/err.txt")"
! grep -q $'\r' "$work/err.txt" || fail "a carriage return without a terminal"
grep -q '^archive  *files  *bytes in  *bytes out  *ratio  *seconds$' "$work/out.txt" \
  && grep -Eq '^total  *3  *100007 ' "$work/out.txt" || fail "summary: $(cat "$work/out.txt")"
[ -z "$("${zvpack[@]}" create --quiet "$work/d.zva" "$work/src" 2>&1)" ] || fail "--quiet is not quiet"
# Names: stored in Windows-1252, listed and unpacked in UTF-8, one warning per archive.
mkdir -p "$work/acc/Über"
printf 'c' > "$work/acc/Café.txt"
printf 'e' > "$work/acc/Über/€uro œŸ.txt"
ln -s "$work/src/Docs/Eng/a.rtf" "$work/acc/link.rtf"
"${zvpack[@]}" create -q "$work/acc.zva" "$work/acc" 2> "$work/warn.txt"; [ $? -eq 0 ] || fail "create of accented names"
[ "$(grep -c 'ANSI code page is 1252' "$work/warn.txt")" -eq 1 ] || fail "not one warning: $(cat "$work/warn.txt")"
LC_ALL=C grep -q "$(printf 'Caf\351.txt')" "$work/acc.zva" || fail "Café.txt not stored in Windows-1252"
LC_ALL=C grep -q "$(printf '\200uro \234\237.txt')" "$work/acc.zva" || fail "€uro œŸ.txt not stored in Windows-1252"
"${zvpack[@]}" list "$work/acc.zva" >"$work/acc.txt"
grep -q 'Über\\€uro œŸ.txt$' "$work/acc.txt" && grep -q ' Café.txt$' "$work/acc.txt" || fail "list does not print UTF-8"
"${zvpack[@]}" list "$work/acc.zva" | grep -q ' link.rtf$' || fail "a link is not stored under its own name"
"${zvpack[@]}" extract "$work/acc.zva" "$work/acc_out" || fail "extract of accented names"
[ "$(cat "$work/acc_out/Über/€uro œŸ.txt")" = e ] || fail "extract does not write UTF-8 names"
cmp -s "$work/acc_out/link.rtf" "$work/src/Docs/Eng/a.rtf" || fail "a link is not packed as what it points to"

# Refusals: exit 2, one line naming the file, nothing at ARCHIVE, an archive already there unchanged.
cp "$work/acc.zva" "$work/kept.zva"
refused() {  # refused WHAT EXPECTED-TEXT ARGS...
  what=$1 expected=$2; shift 2
  msg=$(timeout 60 "${zvpack[@]}" create -q "$work/acc.zva" "$@" 2>&1); rc=$?
  [ $rc -eq 2 ] || fail "$what: exit code $rc: $msg"
  [ "$(printf '%s\n' "$msg" | wc -l)" -eq 1 ] || fail "$what: not one line: $msg"
  case $(as_host "$msg") in *"$(as_host "$expected")"*) ;; *) fail "$what: message does not say '$expected': $msg" ;; esac
  cmp -s "$work/acc.zva" "$work/kept.zva" || fail "$what: the archive already there changed"
  [ -z "$(ls "$work" | grep '\.tmp')" ] || fail "$what: a temporary file is left"
}
odd() { rm -rf "$work/odd"; mkdir "$work/odd"; printf 'x' > "$work/odd/ok.txt"; }
odd; printf 'x' > "$work/odd/日本.txt"
refused "a name 1252 cannot hold" "odd/日本.txt: the name cannot be stored in an archive: U+65E5" "$work/odd"
if windows; then
  skipped "a name not in UTF-8" "Windows names are UTF-16; Wine shows such a Linux name in a form of its own"
  skipped "a FIFO" "Windows has no FIFOs"
else
  odd; printf 'x' > "$work/odd/$(printf 'Caf\351')"
  refused "a name not in UTF-8" "not valid UTF-8" "$work/odd"
  odd; mkfifo "$work/odd/fifo"
  refused "a FIFO" "odd/fifo: a FIFO, not a regular file" "$work/odd"
fi
odd; truncate -s 4G "$work/odd/huge"
refused "an entry of 4 GiB" "odd/huge: 4294967296 bytes; an entry must be smaller than 4 GiB" "$work/odd"
# Unreadable inputs; root reads everything, so as root the tool runs as nobody.
as_user=
[ "$(id -u)" -ne 0 ] || as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
if windows; then
  skipped "unreadable inputs" "Unix permissions, and a Wine prefix serves only its owner"
elif [ "$(id -u)" -ne 0 ] || command -v setpriv > /dev/null; then
  odd; chmod 755 "$work"; chmod 777 "$work/odd"; chmod 000 "$work/odd/ok.txt"
  msg=$($as_user "${zvpack[@]}" create -q "$work/odd/x.zva" "$work/odd" 2>&1)
  [ $? -eq 2 ] || fail "an unreadable file: $msg"
  case $msg in *"odd/ok.txt: Permission denied"*) ;; *) fail "an unreadable file: $msg" ;; esac
  [ -z "$(ls "$work/odd" | grep 'x\.zva')" ] || fail "an unreadable file: something is left"
  chmod 644 "$work/odd/ok.txt"; mkdir -m 000 "$work/odd/locked"
  msg=$($as_user "${zvpack[@]}" create -q "$work/odd/x.zva" "$work/odd" 2>&1)
  [ $? -eq 2 ] || fail "an unreadable folder: $msg"
  case $msg in *"odd/locked: Permission denied"*) ;; *) fail "an unreadable folder: $msg" ;; esac
  chmod 700 "$work" "$work/odd/locked"
fi

# An interrupted create removes its temporary file and leaves the archive that was there: on
# SIGTERM, or on Windows on Ctrl-C (which Wine gives a console program for SIGINT; it then
# ends as Windows' STATUS_CONTROL_C_EXIT, whose low byte is 58).
signal=TERM interrupted=143
! windows || signal=INT interrupted=58
odd; seq 1 3000000 > "$work/odd/big.txt"
env --default-signal=INT "${zvpack[@]}" create --best --threads 1 "$work/acc.zva" "$work/odd" & pid=$!
kill -STOP $pid
for _ in $(seq 1 500); do
  ls "$work" | grep -q '\.tmp' && break
  kill -CONT $pid; sleep 0.01; kill -STOP $pid
done
ls "$work" | grep -q '\.tmp' || fail "no temporary file seen while creating"
kill -$signal $pid; kill -CONT $pid; wait $pid; rc=$?
[ $rc -eq $interrupted ] || fail "interrupted create: exit code $rc$(interrupt_note $rc)"
cmp -s "$work/acc.zva" "$work/kept.zva" || fail "interrupted create: the archive already there changed"
[ -z "$(ls "$work" | grep '\.tmp')" ] || fail "interrupted create: a temporary file is left"

# Manners: --version, a command's help two ways, every command in the summary, a bad command
# line named in one line with a pointer to the help.
"${zvpack[@]}" --version | grep -q '^zvpack [0-9]*\.[0-9]*\.[0-9]*\.[0-9]* (ZVArc archives; zlib .*, libdeflate .*)$' || fail "--version"
commands="create list verify extract setup diff help"
for c in $commands; do
  "${zvpack[@]}" help "$c" >"$work/help1.txt" && "${zvpack[@]}" "$c" --help >"$work/help2.txt" 2>&1 || [ "$c" = help ] \
    || fail "help $c"
  [ "$c" = help ] || cmp -s "$work/help1.txt" "$work/help2.txt" || fail "$c --help differs from help $c"
  grep -q "^usage: zvpack $c" "$work/help1.txt" || fail "help $c: $(cat "$work/help1.txt")"
  "${zvpack[@]}" --help | grep -q "^  $c " || fail "the summary does not list $c"
done
msg=$("${zvpack[@]}" create --fast "$work/x.zva" "$work/src" 2>&1); [ $? -eq 1 ] || fail "unknown option exit code"
[ "$msg" = "zvpack create: unknown option --fast (zvpack help create shows the usage)" ] || fail "unknown option: $msg"
msg=$("${zvpack[@]}" list --json 2>&1); [ $? -eq 1 ] && [ "$msg" = "zvpack list: needs one FILE (zvpack help list shows the usage)" ] \
  || fail "a missing argument: $msg"
msg=$("${zvpack[@]}" frobnicate 2>&1); [ $? -eq 1 ] && [ "$(printf '%s\n' "$msg" | wc -l)" -eq 1 ] || fail "unknown command: $msg"
printf 'just some text\n' >"$work/text.txt"
msg=$("${zvpack[@]}" list "$work/text.txt" 2>&1); [ $? -eq 3 ] || fail "list of a text file: exit code"
case $msg in *"text.txt: neither a ZVArc archive nor a launcher"*) ;; *) fail "list of a text file: $msg" ;; esac

# The README documents every option the help names, and the same exit codes.
section=$(sed -n '/^## zvpack: the archive tool/,/^## Benchmarks/p' "$readme")
for c in $commands; do
  for option in $("${zvpack[@]}" help "$c" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    case $section in *"$option"*) ;; *) fail "the README's zvpack section lacks $c $option" ;; esac
  done
done
"${zvpack[@]}" --help | sed -n 's/^  \([0-9]\)  .*/\1/p' >"$work/codes.txt"
[ "$(wc -l <"$work/codes.txt")" -ge 7 ] || fail "the help lists no exit codes"
printf '%s\n' "$section" | sed -n 's/^| \([0-9]\) | .*/\1/p' | diff - "$work/codes.txt" >&2 \
  || fail "the README's exit codes differ from the help's"

# On a terminal the progress line is rewritten with the bytes done of the total, the rate and
# the time left.
if command -v script >/dev/null; then
  script -qec "$(printf '%q ' "${zvpack[@]}") create --threads 1 $work/t.zva $work/src" /dev/null >"$work/tty.txt"
  progress='zvpack: .*t.zva [0-9]/3 files, [0-9.]* of 0.1 MiB, [0-9.]* MiB/s, .* left'
  if windows; then
    # Wine's console draws the screen itself on the terminal: blanks as cursor moves, other
    # escapes, lines wrapped at 80 columns. The text is what is checked there.
    perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g; s/[\r\n]//g' "$work/tty.txt" \
      | grep -q "$progress" || fail "no progress line on a terminal: $(od -c "$work/tty.txt" | head)"
  else
    grep -q $'\r'"$progress" "$work/tty.txt" || fail "no progress line on a terminal: $(od -c "$work/tty.txt" | head)"
  fi
fi
echo "zvpack command line: ok"
