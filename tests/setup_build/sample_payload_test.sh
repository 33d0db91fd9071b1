#!/usr/bin/env bash
# The sample payload generator: the same bytes on every run, the archives' entry counts,
# sizes and compressibility, names zvpack accepts, the next-stage programs carried as they
# are, stale files replaced, and bad arguments refused.
# usage: sample_payload_test.sh PYTHON GENERATOR ZVPACK
set -euo pipefail
python=$1 generator=$2 zvpack=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Archive, entries, inflated bytes at scale 1 (APPBASE at its default tenth), packed/inflated.
table="BASE 2 1290383 0.475
SETUPBASE 43 2928998 0.434
SETUPPICTLITE 11 686070 0.862
PICTLITE 4 43373 0.355
ZVIMAGE 1 786481 0.321
APPBASE 184 3925185 0.627
PICTUNINST 2 315732 0.461
ZVVERSION 1 45056 0.327"

"$python" "$generator" --out "$work/a" || fail "generator run"
"$python" "$generator" --out "$work/b" || fail "second generator run"
diff -r "$work/a" "$work/b" >/dev/null || fail "two runs differ"

while read -r name entries inflated ratio; do
  listed=$(grep -vc '^#' "$work/a/$name.list") || true
  [[ $listed -eq $entries ]] || fail "$name.list names $listed entries, not $entries"
  files=$(find "$work/a/$name" -type f | wc -l)
  [[ $files -eq $entries ]] || fail "$name holds $files files, not $entries"
  # Stored names: a file and at most two folders above it.
  deep=$(cut -f1 "$work/a/$name.list" | grep -v '^#' | grep -c '\\.*\\.*\\') || true
  [[ $deep -eq 0 ]] || fail "$name has names more than two folders deep"
  "$zvpack" create --quiet "$work/$name.zva" --list "$work/a/$name.list" || fail "zvpack refuses $name"
  "$zvpack" verify "$work/$name.zva" >/dev/null || fail "$name does not verify"
  summary=$("$zvpack" list "$work/$name.zva" | tail -n 1)
  read -r packed size count _ <<<"$summary"
  [[ $count -eq $entries && $size -eq $inflated ]] || fail "$name: $summary; expected $entries entries, $inflated bytes"
  awk -v p="$packed" -v s="$size" -v r="$ratio" 'BEGIN { exit !(p / s > r - 0.05 && p / s < r + 0.05) }' \
    || fail "$name packs to $packed of $size bytes, not about $ratio"
done <<<"$table"

# Scaled: every archive K times its size; the full APPBASE ten times the default.
folder_bytes() { find "$1" -type f -printf '%s\n' | awk '{ t += $1 } END { print t }'; }
"$python" "$generator" --out "$work/s" --scale 0.1 --full-appbase || fail "scaled run"
[[ $(folder_bytes "$work/s/BASE") -eq 129038 ]] || fail "BASE at scale 0.1 is not 129038 bytes"
[[ $(folder_bytes "$work/s/APPBASE") -eq 3925185 ]] || fail "full APPBASE at scale 0.1 is not 3925185 bytes"

# The next-stage programs are copied as they are and count towards SETUPBASE.
head -c 70001 /dev/urandom > "$work/vistart.bin"
head -c 3001 /dev/urandom > "$work/pidwait.bin"
mkdir -p "$work/a/SETUPBASE/Old" && : > "$work/a/SETUPBASE/Old/stale.dat"
: > "$work/a/keep.txt"
"$python" "$generator" --out "$work/a" --vistart "$work/vistart.bin" --pidwait "$work/pidwait.bin" \
  || fail "run with next-stage programs"
cmp -s "$work/vistart.bin" "$work/a/SETUPBASE/Vistart.exe" || fail "Vistart.exe is not the given program"
cmp -s "$work/pidwait.bin" "$work/a/SETUPBASE/pidwait.exe" || fail "pidwait.exe is not the given program"
total=$(folder_bytes "$work/a/SETUPBASE")
[[ $total -eq 2928998 ]] || fail "SETUPBASE with the programs is $total bytes, not 2928998"
[[ ! -e $work/a/SETUPBASE/Old ]] || fail "a stale file of an earlier run is left in SETUPBASE"
[[ -e $work/a/keep.txt ]] || fail "a file beside the archive folders was removed"

# Refusals: a one-line message, exit code 2, and nothing written.
for args in "--out $work/r --scale 0" "--out $work/r --scale -1" "--out $work/r --vistart $work/missing.exe" \
    "--scale 2"; do
  code=0
  msg=$("$python" "$generator" $args 2>&1 >/dev/null) || code=$?
  [[ $code -eq 2 ]] || fail "\"$args\" gives exit code $code"
  [[ $msg != *Traceback* ]] || fail "\"$args\" ends in a traceback"
done
[[ ! -e $work/r ]] || fail "a refused run wrote output"
echo "sample payload: ok"
