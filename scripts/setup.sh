#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when all are there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev llvm
  zlib1g-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev binutils-mingw-w64-i686
  wine wine64 xvfb x11-apps imagemagick fonts-dejavu-core fonts-dejavu-extra zip unzip valgrind python3
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

# 32-bit Wine cannot run on these machines, and once installed Debian's wine wrapper prefers it.
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q 'install ok installed'; then
  echo "setup: wine32 is installed; removing it (it cannot run here and breaks the wine wrapper)" >&2
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq wine32 >&2
fi

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: missing packages and not root; install them first: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
