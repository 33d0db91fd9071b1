#!/usr/bin/env bash
# Unpacks every ZVArc resource of an executable with zvpack and compares each archive's files
# byte for byte with the folder of the same name in a payload folder.
# usage: compare_extracted.sh ZVPACK EXE PAYLOAD_DIR
set -euo pipefail
zvpack=$1 exe=$2 payload=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$zvpack" extract "$exe" "$work" || fail "zvpack extract $exe"
for name in BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION; do
  [[ -d $payload/$name ]] || fail "$payload/$name: no such folder"
  # An archive without entries unpacks to nothing at all.
  mkdir -p "$work/$name"
  diff -r "$payload/$name" "$work/$name" >&2 || fail "archive $name differs from $payload/$name"
done
echo "$exe: every archive unpacks to its payload folder"
