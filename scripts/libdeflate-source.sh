#!/usr/bin/env bash
# The libdeflate sources that the Windows builds compile: Debian's source package 1.14-1, the
# very version of the host's libdeflate-dev, so that zvpack --best writes the same bytes on
# Windows as on the host (Debian ships no mingw build of it). Fetched once from the Debian
# mirror this machine's apt uses, checked against the sums below, unpacked with Debian's
# patches applied, and kept outside every checkout so that each clone reuses it.
#
#   libdeflate-source.sh path     prints where the sources lie (VX_LIBDEFLATE_SOURCE, else the
#                                 default); the Windows CMake build looks there
#   libdeflate-source.sh ensure   fetches and unpacks them unless they are complete; instant
#                                 when they are
set -euo pipefail

version=1.14
revision=1
source_dir=${VX_LIBDEFLATE_SOURCE:-/var/lib/zelvora/src/libdeflate-$version-$revision}
orig=libdeflate_$version.orig.tar.gz
debian=libdeflate_$version-$revision.debian.tar.xz
dsc=libdeflate_$version-$revision.dsc
declare -A sha256=(
  [$orig]=89e7df898c37c3427b0f39aadcf733731321a278771d20fc553f92da8d4808ac
  [$debian]=4794c379cc4e77eaeb283620bd80a7ce57b858af508f80ba6d5efbc4bcb10434
)
# Raise when the steps below change, so that every machine unpacks the sources anew.
recipe=2
stamp=$source_dir/.zelvora-libdeflate-source

complete() { [[ -f $stamp && $(cat "$stamp") == "$version-$revision/$recipe" ]]; }

source "$(dirname "$0")/apt-mirror.sh"

# The package's folder on the Debian mirror this machine's apt already uses.
pool_url() {
  local url
  url=$(apt_mirror libdeflate-source) || exit 1
  echo "$url/pool/main/libd/libdeflate/"
}

fetch() {  # folder: downloads the three files of the source package into it and checks them
  local folder=$1 url name
  url=$(pool_url) || exit 1
  for name in "$dsc" "$orig" "$debian"; do
    curl -fsSL --retry 3 -o "$folder/$name" "$url$name" || {
      echo "libdeflate-source: cannot fetch $url$name" >&2
      exit 1
    }
  done
  for name in "$orig" "$debian"; do
    if ! echo "${sha256[$name]}  $folder/$name" | sha256sum --check --quiet --status; then
      echo "libdeflate-source: $name from $url does not have the expected SHA-256" >&2
      exit 1
    fi
    # The .dsc names the same sums; a mismatch means a package other than the one pinned here.
    grep -q "${sha256[$name]} .* $name\$" "$folder/$dsc" || {
      echo "libdeflate-source: $dsc does not list $name with the expected SHA-256" >&2
      exit 1
    }
  done
}

unpack() {  # folder target: the sources with Debian's patches applied, into target
  local folder=$1 target=$2 patch
  mkdir -p "$target"
  tar -xzf "$folder/$orig" -C "$target" --strip-components=1
  tar -xJf "$folder/$debian" -C "$target"
  if [[ -f $target/debian/patches/series ]]; then
    while read -r patch _; do
      [[ -z $patch || $patch == \#* ]] && continue
      patch -d "$target" -p1 --quiet --forward --no-backup-if-mismatch < "$target/debian/patches/$patch"
    done < "$target/debian/patches/series"
  fi
}

make_source() {
  echo "libdeflate-source: fetching Debian's libdeflate $version-$revision into $source_dir" >&2
  mkdir -p "$(dirname "$source_dir")" 2>/dev/null && [[ -w $(dirname "$source_dir") ]] || {
    echo "libdeflate-source: cannot write $(dirname "$source_dir"); run as root or set VX_LIBDEFLATE_SOURCE" >&2
    exit 1
  }
  # Global, for the trap that removes it when the script ends.
  work=$(mktemp -d "$(dirname "$source_dir")/.libdeflate-source.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  fetch "$work"
  unpack "$work" "$work/tree"
  echo "$version-$revision/$recipe" > "$work/tree/.zelvora-libdeflate-source"
  # Whole or not at all: a run that stops half-way leaves no folder that looks complete.
  rm -rf "$source_dir"
  mv "$work/tree" "$source_dir"
}

case "${1:-}" in
  path) echo "$source_dir" ;;
  ensure) complete || make_source ;;
  *) echo "usage: $0 path|ensure" >&2; exit 2 ;;
esac
