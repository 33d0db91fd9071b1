#!/usr/bin/env bash
# Checks that an executable carries exactly the expected ZVArc resources, each in German
# (1031) with the expected number of entries, and that every one of them verifies.
# usage: check_setup_resources.sh ZVPACK EXE NAME=COUNT...
set -euo pipefail
zvpack=$1 exe=$2
shift 2
fail() { echo "FAIL: $*" >&2; exit 1; }

# "EXE:NAME (language L):" opens each archive's listing, "... N entries, M bytes" closes it.
found=$("$zvpack" list "$exe" | awk '
  / \(language [0-9]+\):$/ { n = split($0, p, ":"); name = p[n - 1]; sub(/ \(language .*/, "", name)
                             lang = $0; sub(/.*\(language /, "", lang); sub(/\):$/, "", lang) }
  / entries, [0-9]+ bytes$/ { print name "=" $(NF - 3) "@" lang }') || fail "zvpack list $exe"

expected=""
for pair in "$@"; do expected+="$pair@1031"$'\n'; done
if [[ "$(sort <<<"$found")" != "$(sort <<<"${expected%$'\n'}")" ]]; then
  echo "expected (NAME=entries@language):" >&2; sort <<<"${expected%$'\n'}" >&2
  echo "found:" >&2; sort <<<"$found" >&2
  fail "$exe does not carry exactly the expected archives"
fi

verified=$("$zvpack" verify "$exe" | grep -c ': ok$') || fail "zvpack verify $exe"
[[ $verified -eq $# ]] || fail "$verified of $# archives verify"
echo "$exe: $# archives as expected, all verify"
