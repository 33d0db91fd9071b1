#!/usr/bin/env bash
# How the setup build reads a release payload: folders, list files and manifests, and the
# one-line refusals of payloads that do not name all eight archives or name missing files.
# usage: payload_manifest_test.sh CMAKE FIXTURE_DIR
set -euo pipefail
cmake=$1 fixture=$2
cmake_dir=$(cd "$fixture/../../../cmake" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
names=(BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION)
run=0

configure() {  # payload; prints CMake's output, fails like the configuration
  run=$((run + 1))
  "$cmake" -S "$fixture" -B "$work/b$run" -DVX_CMAKE_DIR="$cmake_dir" -DPAYLOAD="$1" 2>&1
}

expect_ok() {  # payload, expected "NAME MODE COUNT" lines
  local out got
  out=$(configure "$1") || fail "$1 refused: $out"
  got=$(sed -n 's/^-- archive //p' <<<"$out")
  [[ $got == "$2" ]] || fail "$1 read as"$'\n'"$got"$'\n'"expected"$'\n'"$2"
}

expect_refused() {  # payload, text the error must contain
  local out
  if out=$(configure "$1"); then fail "$1 accepted"; fi
  # CMake wraps long messages; compare with the lines joined again.
  out=$(tr '\n' ' ' <<<"$out" | tr -s ' ')
  [[ $out == *"$2"* ]] || fail "$1: error does not say \"$2\": $out"
}

# What the payloads below read as: all folders, or SETUPBASE from its list file.
as_folders=$(printf '%s\n' "BASE folder 1" "SETUPBASE folder 2" "SETUPPICTLITE folder 1" "PICTLITE folder 1" \
  "ZVIMAGE folder 1" "APPBASE folder 1" "PICTUNINST folder 1" "ZVVERSION folder 0")
with_list=${as_folders/SETUPBASE folder/SETUPBASE list}

# A folder of eight folders, one of them empty, one with two levels of subfolders.
p=$work/folders
for n in "${names[@]}"; do mkdir -p "$p/$n"; printf '%s' "$n" > "$p/$n/$n.bin"; done
mkdir -p "$p/SETUPBASE/Docs/Eng"; printf 'x' > "$p/SETUPBASE/Docs/Eng/a.txt"
rm "$p/ZVVERSION/ZVVERSION.bin"
expect_ok "$p" "$as_folders"

# A list file wins over the folder beside it; bare names and NAME<TAB>PATH lines, comments.
printf '# order\nDocs\\Eng\\a.txt\tSETUPBASE/Docs/Eng/a.txt\r\n\nSETUPBASE/SETUPBASE.bin\n' > "$p/SETUPBASE.list"
expect_ok "$p" "$with_list"

# A manifest elsewhere, with paths relative to itself, comments and any case of names.
m=$work/m/setup.manifest
mkdir -p "$work/m"
{ echo "# release 1"; for n in "${names[@]}"; do echo "${n,,}   ../folders/$n"; done; } > "$m"
expect_ok "$m" "$as_folders"
sed -i 's|setupbase .*|SETUPBASE ../folders/SETUPBASE.list|' "$m"
expect_ok "$m" "$with_list"

# Refusals, each naming what is wrong.
expect_refused "$work/nowhere" "no such folder or manifest"
mv "$p/ZVIMAGE" "$p/ZVIMAGE.away"
expect_refused "$p" "neither a folder ZVIMAGE nor a list file ZVIMAGE.list"
mv "$p/ZVIMAGE.away" "$p/ZVIMAGE"
grep -v -i '^zvversion' "$m" > "$work/m/short.manifest"
expect_refused "$work/m/short.manifest" "no line for ZVVERSION"
{ cat "$m"; echo "BASE ../folders/BASE"; } > "$work/m/twice.manifest"
expect_refused "$work/m/twice.manifest" "BASE is named twice"
{ cat "$m"; echo "EXTRAS ../folders/BASE"; } > "$work/m/unknown.manifest"
expect_refused "$work/m/unknown.manifest" "EXTRAS is not one of"
{ cat "$m"; echo "APPBASE"; } > "$work/m/bare.manifest"
expect_refused "$work/m/bare.manifest" "is not \"NAME PATH\""
sed 's|^appbase .*|APPBASE ../folders/missing|' "$m" > "$work/m/missing.manifest"
expect_refused "$work/m/missing.manifest" "archive APPBASE:"
printf 'Gone.txt\tSETUPBASE/gone.txt\n' >> "$p/SETUPBASE.list"
expect_refused "$p" "names $p/SETUPBASE/gone.txt, which is not a file"
echo "setup payload manifests: ok"
