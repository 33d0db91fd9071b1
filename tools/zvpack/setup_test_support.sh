# Sourced by zvpack's setup test scripts (after `set -eu`): the tool under test from their first
# argument, a scratch folder removed at exit, and the helpers they share.
zvpack=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pe() { python3 "$here/make_test_pe.py" "$@"; }
