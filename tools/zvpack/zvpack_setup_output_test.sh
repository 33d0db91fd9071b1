#!/usr/bin/env bash
# What "zvpack setup", list, verify and diff tell, over small PE images made by
# make_test_pe.py: the per-archive lines and the summary table, every --json document read
# back with a JSON parser, diff of two setups (and of a setup and a bare archive, and of a
# PE32 and a PE32+ setup), the 1 GiB limit on the archives as written (a warning from the
# sizes, a refusal after packing), and an interrupted setup (SIGINT, SIGTERM, SIGHUP) that
# leaves nothing beside --out.
# usage: zvpack_setup_output_test.sh [--runner RUNNER] ZVPACK_BINARY
set -eu
source "$(dirname "$0")/setup_test_support.sh"
json() { python3 -c "import json, sys; d = json.load(open(sys.argv[1])); $2" "$1"; }

payload=$work/payload
for name in BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION; do mkdir -p "$payload/$name"; done
pe "$payload/SETUPBASE/Vistart.exe" i386
pe "$payload/SETUPBASE/pidwait.exe" i386
mkdir -p "$payload/APPBASE/Docs/Eng" "$work/out"
seq 1 20000 >"$payload/APPBASE/Docs/Eng/readme.txt"
printf 'é' >"$payload/APPBASE/Café.txt"
pe "$work/stub.exe" i386
pe "$work/stub64.exe" amd64

# Off a terminal: one line per archive on stderr, no carriage return; the table on stdout.
"${zvpack[@]}" setup -6 --stub "$work/stub.exe" --payload "$payload" --out "$work/out/a.exe" >"$work/table.txt" \
  2>"$work/lines.txt" || fail "setup: $(<"$work/lines.txt")"
sed -i '/^zvpack: warning: /d' "$work/lines.txt"
[[ $(grep -c '^zvpack: [A-Z]*: [0-9]* files\?, .* in, .* out (.*), [0-9.]* s$' "$work/lines.txt") == 8 ]] \
  || fail "progress lines: $(<"$work/lines.txt")"
! grep -q $'\r' "$work/lines.txt" || fail "a carriage return off a terminal"
[[ $(sed -n 1p "$work/table.txt") == "archive"*files*"bytes in"*"bytes out"*ratio*seconds ]] \
  && grep -Eq '^APPBASE +2 +108896 ' "$work/table.txt" && grep -Eq '^total +4 +1[0-9]{5} ' "$work/table.txt" \
  || fail "summary: $(<"$work/table.txt")"

# --json documents, read back.
"${zvpack[@]}" setup -6 --json --quiet --stub "$work/stub.exe" --payload "$payload" --out "$work/out/j.exe" >"$work/setup.json" 2>/dev/null
json "$work/setup.json" "
a = {x['name']: x for x in d['archives']}
assert d['ok'] and d['bytes'] == $(stat -c %s "$work/out/j.exe") and d['machine'] == 'i386 (PE32)' and d['version'] is None
assert list(a) == ['BASE', 'SETUPBASE', 'SETUPPICTLITE', 'PICTLITE', 'ZVIMAGE', 'APPBASE', 'PICTUNINST', 'ZVVERSION']
assert a['APPBASE']['files'] == 2 and a['APPBASE']['bytesIn'] == 108896 and 0 < a['APPBASE']['bytesOut'] < 108896
assert d['archiveBytes'] == sum(x['bytesOut'] for x in d['archives'])
assert any('Café.txt' in w for w in d['warnings'])" || fail "setup --json: $(<"$work/setup.json")"
"${zvpack[@]}" setup --check --json --stub "$work/stub.exe" --payload "$payload" >"$work/check.json" 2>/dev/null
json "$work/check.json" "assert d['ok'] and d['inputBytes'] == 108896 + 2 * 2560 and len(d['warnings']) == 1" \
  || fail "setup --check --json: $(<"$work/check.json")"
pe "$payload/BASE/Vistart.exe" i386
status=0; "${zvpack[@]}" setup --check --json --payload "$payload" >"$work/refused.json" 2>/dev/null || status=$?
json "$work/refused.json" "
assert not d['ok'] and len(d['problems']) == 1 and 'is in archive SETUPBASE and in archive BASE' in d['problems'][0]" \
  && [[ $status == 2 ]] || fail "setup --check --json of a refused payload: exit $status: $(<"$work/refused.json")"
rm "$payload/BASE/Vistart.exe"
"${zvpack[@]}" list --json "$work/out/a.exe" >"$work/list.json"
json "$work/list.json" "
a = {x['name']: x for x in d['archives']}
e = {x['name']: x for x in a['APPBASE']['entries']}
assert d['kind'] == 'PE32' and a['APPBASE']['language'] == 1031 and e['Café.txt']['size'] == 2
assert e['Docs\\\\Eng\\\\readme.txt']['size'] == 108894 and e['Docs\\\\Eng\\\\readme.txt']['offset'] == 4 + e['Café.txt']['packed']
assert all(x['time3'] >= x['time1'] for x in a['APPBASE']['entries'])" || fail "list --json: $(<"$work/list.json")"
"${zvpack[@]}" verify --json "$work/out/a.exe" >"$work/verify.json"
json "$work/verify.json" "assert d['ok'] and len(d['archives']) == 8 and all(x['ok'] for x in d['archives'])" \
  || fail "verify --json"

# diff: the same payload twice, then one file changed and one added.
"${zvpack[@]}" setup -q -6 --stub "$work/stub.exe" --payload "$payload" --out "$work/out/b.exe" 2>/dev/null
"${zvpack[@]}" diff "$work/out/a.exe" "$work/out/b.exe" >"$work/same.txt" || fail "diff of the same: $(<"$work/same.txt")"
seq 1 20001 >"$payload/APPBASE/Docs/Eng/readme.txt"; printf 'n' >"$payload/BASE/new.dll"
"${zvpack[@]}" setup -q --best --stub "$work/stub.exe" --payload "$payload" --out "$work/out/c.exe" 2>/dev/null
status=0; "${zvpack[@]}" diff "$work/out/a.exe" "$work/out/c.exe" >"$work/diff.txt" || status=$?
[[ $status == 6 ]] || fail "diff of two that differ: exit $status"
grep -qx '  changed  Docs\\Eng\\readme.txt: size 108894 -> 108900, content, time' "$work/diff.txt" \
  && grep -qx '  added    new.dll (1 bytes)' "$work/diff.txt" && grep -qx 'archive SETUPBASE: same' "$work/diff.txt" \
  || fail "diff: $(<"$work/diff.txt")"
"${zvpack[@]}" diff --json "$work/out/a.exe" "$work/out/c.exe" >"$work/diff.json" || true
json "$work/diff.json" "
a = {x['name']: x for x in d['archives']}
assert not d['same'] and a['BASE']['added'] == [{'name': 'new.dll', 'size': 1}] and a['ZVIMAGE']['status'] == 'same'
assert a['APPBASE']['changed'][0]['content'] and a['APPBASE']['changed'][0]['newSize'] == 108900" || fail "diff --json"
# A bare archive against the setup: its archive is matched by the file name, the rest are missing from it.
"${zvpack[@]}" create -q -9 "$work/out/APPBASE.zva" "$payload/APPBASE" 2>/dev/null
status=0; "${zvpack[@]}" diff "$work/out/APPBASE.zva" "$work/out/c.exe" >"$work/bare.txt" || status=$?
[[ $status == 6 ]] && grep -qx 'archive APPBASE: same' "$work/bare.txt" && grep -qx 'archive BASE: added' "$work/bare.txt" \
  || fail "diff of an archive and a setup: $(<"$work/bare.txt")"
"${zvpack[@]}" setup -q -6 --stub "$work/stub64.exe" --payload "$payload" --out "$work/out/d.exe" 2>/dev/null \
  && fail "an i386 next stage in a PE32+ stub"
status=0; "${zvpack[@]}" diff "$work/out/c.exe" "$work/text.txt" 2>"$work/err.txt" || status=$?
[[ $status == 3 ]] || fail "diff of a missing file: exit $status"

# 1 GiB: a sparse file of 1100 MiB warns from its size; packed at -1 it is small and passes,
# stored at -0 it passes the limit and nothing is written.
truncate -s 1100M "$payload/ZVIMAGE/zeros.bin"
"${zvpack[@]}" setup -q -1 --stub "$work/stub.exe" --payload "$payload" --out "$work/out/big.exe" 2>"$work/err.txt" \
  || fail "a payload that packs below 1 GiB: $(<"$work/err.txt")"
grep -q 'warning: the eight archives could take up to 1100 MiB .* the real size is known after packing' "$work/err.txt" \
  || fail "no warning from the sizes: $(<"$work/err.txt")"
cp "$work/out/big.exe" "$work/big-before.exe"
status=0
"${zvpack[@]}" setup -q -0 --stub "$work/stub.exe" --payload "$payload" --out "$work/out/big.exe" 2>"$work/err.txt" || status=$?
[[ $status == 2 ]] && grep -q "take 1100 MiB as written, past the 1024 MiB a 32-bit setup can map" "$work/err.txt" \
  || fail "archives above 1 GiB as written: exit $status: $(<"$work/err.txt")"
cmp -s "$work/out/big.exe" "$work/big-before.exe" && [[ $(ls "$work/out" | grep -c big) == 1 ]] \
  || fail "a refused setup changed or left something beside --out"
rm "$payload/ZVIMAGE/zeros.bin" "$work/out/big.exe"

# Interrupted: nothing new beside --out, for each signal; while packing and while writing. Windows
# has Ctrl-C alone (Wine gives it a console program for SIGINT), after which the tool ends as
# STATUS_CONTROL_C_EXIT, whose low byte is 58.
before=$(ls "$work/out")
seq 1 4000000 >"$payload/APPBASE/big.txt"
signals=(INT TERM HUP) writing=TERM interrupted='[[ $status -gt 128 ]]' written_off=143
if windows; then
  skipped "SIGTERM and SIGHUP" "Windows programs know no signals but Ctrl-C"
  signals=(INT) writing=INT interrupted='[[ $status == 58 ]]' written_off=58
fi
for signal in "${signals[@]}"; do
  # A background job starts with SIGINT ignored; the tool is to meet it as from a terminal.
  env --default-signal="$signal" "${zvpack[@]}" setup --best --threads 1 --stub "$work/stub.exe" --payload "$payload" --out "$work/out/s.exe" \
    >/dev/null 2>"$work/progress.txt" & pid=$!
  for _ in $(seq 1 500); do grep -q SETUPBASE "$work/progress.txt" && break; sleep 0.01; done
  kill -"$signal" $pid; status=0; wait $pid 2>/dev/null || status=$?
  eval "$interrupted" || fail "SIG$signal: exit $status$(interrupt_note $status)"
  [[ $(ls "$work/out") == "$before" ]] || fail "SIG$signal while packing left: $(ls "$work/out")"
done
# A large setup, stored, so that its writing takes long enough to be caught.
truncate -s 100M "$payload/APPBASE/zeros.bin"
env --default-signal="$writing" "${zvpack[@]}" setup -q -0 --stub "$work/stub.exe" --payload "$payload" \
  --out "$work/out/s.exe" & pid=$!
for _ in $(seq 1 12000); do ls "$work/out" | grep -q '\.tmp' && break; sleep 0.005; done
ls "$work/out" | grep -q '\.tmp' || fail "no temporary setup seen while writing"
kill -"$writing" $pid; status=0; wait $pid || status=$?
[[ $status == "$written_off" && $(ls "$work/out") == "$before" ]] \
  || fail "SIG$writing while writing: exit $status$(interrupt_note $status), left $(ls "$work/out")"
echo "zvpack setup, list, verify, diff: output as expected"
