# Sourced by zvpack's command-line test scripts (after `set -eu`). Their arguments start with
# [--runner RUNNER] ZVPACK, which this takes off: the tool under test, started through RUNNER
# when one is given (cmake/wine-run.sh for the win64 build's zvpack.exe). Then a scratch folder
# removed at exit, and the helpers they share.
runner=()
if [[ ${1:-} == --runner ]]; then
  runner=("$2")
  shift 2
fi
zvpack=("${runner[@]}" "$1")
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pe() { python3 "$here/make_test_pe.py" "$@"; }

# The Windows build: paths given as /tmp/... reach it as \tmp\... on its current drive (Wine's Z:
# is /), so the paths it joins and echoes may carry backslashes.
windows() { [[ ${zvpack[-1]} == *.exe ]]; }
# TEXT with the path separators the way the host tool writes them; compare both sides through it
# where a message names a file.
as_host() { if windows; then printf '%s' "${1//\\//}"; else printf '%s' "$1"; fi; }
# Says that a case cannot be met on Windows, and why; never skip one silently.
skipped() { echo "skipped on Windows: $1 ($2)"; }
# Said after an exit status where Ctrl-C was to end the tool: under Wine a program with no
# Ctrl-C handler of its own at that moment ends with 0, where Windows ends it as interrupted.
interrupt_note() { if windows && [[ $1 == 0 ]]; then echo " (no Ctrl-C handler of the tool's own then?)"; fi; }
