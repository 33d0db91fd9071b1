#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when all are there.
# usage: scripts/setup.sh [--bench]
#   --bench: also what only the benchmarks use (NSIS, the peer of bench/peer_bench.sh).
set -euo pipefail

bench=0
case ${1:-} in
  "") ;;
  --bench) bench=1 ;;
  *) echo "usage: scripts/setup.sh [--bench]" >&2; exit 2 ;;
esac

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev llvm
  zlib1g-dev libdeflate-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev binutils-mingw-w64-i686
  wine wine64 xvfb x11-apps imagemagick fonts-dejavu-core fonts-dejavu-extra zip unzip valgrind python3 locales
  osslsigncode openssl debootstrap curl patch xz-utils
)
((bench)) && packages+=(nsis)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

# wine32 never goes onto the machine itself (the 32-bit Wine lives in a root of its own, below):
# once installed, Debian's wine wrapper prefers it and breaks.
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

# Wine spells Unix file names in the Unix locale's character set. The Windows programs run with
# LC_ALL=en_GB.UTF-8 (code pages 1252 and 850); without that locale generated, Wine cannot
# make a file whose name has a letter beyond ASCII.
if ! locale -a 2>/dev/null | grep -qix 'en_GB.utf8'; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: the locale en_GB.UTF-8 is missing and this is not root; generate it first" >&2
    exit 1
  fi
  echo "setup: generating the locale en_GB.UTF-8" >&2
  sed -i 's/^# *\(en_GB.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^en_GB.UTF-8 UTF-8' /etc/locale.gen || echo 'en_GB.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# The 32-bit Wine that runs the i686 product lives in a Debian root of its own, outside the
# checkout (scripts/wine32-root.sh); made once, reused by every clone.
bash "$(dirname "$0")/wine32-root.sh" ensure

# The Windows builds compile libdeflate from Debian's source package of the host's version
# (scripts/libdeflate-source.sh), kept outside the checkout like the root above.
bash "$(dirname "$0")/libdeflate-source.sh" ensure
