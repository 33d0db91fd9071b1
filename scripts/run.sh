#!/usr/bin/env bash
# Main job: builds the launcher and runs it under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
if [[ ! -f build/win64/launcher/zvsetup.exe ]]; then
  echo "run: the launcher executable is not built yet; the libraries and their tests are (see scripts/test.sh)"
  exit 0
fi
