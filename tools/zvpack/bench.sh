#!/usr/bin/env bash
# Packs a generated tree of about 50 MB (compressible text, base64 and random
# bytes, small and large files) with zvpack on all cores, with --threads 1 and
# with zip -6 -r, and prints wall times and archive sizes side by side.
# usage: tools/zvpack/bench.sh [ZVPACK_BINARY]   (default: build/host-release/tools/zvpack/zvpack)
set -eu

zvpack=${1:-build/host-release/tools/zvpack/zvpack}
[ -x "$zvpack" ] || { echo "bench.sh: $zvpack is not an executable; build the host-release preset" >&2; exit 1; }
command -v zip >/dev/null || { echo "bench.sh: zip is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree/data" "$tree/Docs/Eng" "$tree/Docs/Fre" "$tree/bin"

# 20 MB of text in 40 files, 10 MB of base64 in 10 files, 20 MB of random bytes
# in 4 files, and 200 small files.
for i in $(seq 1 40); do seq -f "line %g of the Zelvora photo setup documentation $i" 1 9000 |
  head -c 512000 > "$tree/Docs/Eng/doc$i.txt"; done
for i in $(seq 1 10); do head -c 786432 /dev/urandom | base64 | head -c 1048576 > "$tree/data/b64_$i.txt"; done
for i in $(seq 1 4); do head -c 5242880 /dev/urandom > "$tree/bin/blob$i.bin"; done
for i in $(seq 1 200); do seq "$i" 300 > "$tree/Docs/Fre/small$i.txt"; done
total=$(du -sb "$tree" | cut -f1)

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

t0=$(now); "$zvpack" create "$work/all.zva" "$tree" 2>/dev/null; t1=$(now)
"$zvpack" create --threads 1 "$work/one.zva" "$tree" 2>/dev/null; t2=$(now)
(cd "$tree" && zip -6 -r -q "$work/tree.zip" .); t3=$(now)
"$zvpack" verify "$work/all.zva" >/dev/null

same=no
cmp -s "$work/all.zva" "$work/one.zva" && same=yes
cores=$(nproc)
printf 'input: %s files, %d bytes\n' "$(find "$tree" -type f | wc -l)" "$total"
printf '%-28s %10s %12s\n' "run" "seconds" "bytes"
printf '%-28s %10s %12d\n' "zvpack create ($cores cores)" "$(elapsed "$t0" "$t1")" "$(stat -c %s "$work/all.zva")"
printf '%-28s %10s %12d\n' "zvpack create --threads 1" "$(elapsed "$t1" "$t2")" "$(stat -c %s "$work/one.zva")"
printf '%-28s %10s %12d\n' "zip -6 -r" "$(elapsed "$t2" "$t3")" "$(stat -c %s "$work/tree.zip")"
printf 'all cores and --threads 1 byte-identical: %s\n' "$same"
