#!/usr/bin/env bash
# The 32-bit Wine that runs the i686 product: a separate Debian 12 root, made once with
# debootstrap from the main suite alone (amd64 with i386 added inside, wine, wine32:i386,
# wine64 and xvfb), kept outside every checkout so that each clone reuses it.
#
#   wine32-root.sh path     prints where the root lies (VX_WINE32_ROOT, else the default)
#   wine32-root.sh ensure   makes the root unless it is complete; quick when it is
#   wine32-root.sh check    exit 0 when the root is complete and this kernel runs its 32-bit
#                           Wine; otherwise prints why on one line and exits 1
#   wine32-root.sh run CMD  runs CMD inside the root, in the current folder, with this checkout,
#                           /tmp (the X display's socket), WINEPREFIX's folder, /dev, /proc and
#                           /sys at their own paths; the mounts live in a mount namespace of its
#                           own and end with its last process (a wineserver keeps them), and
#                           see what is mounted on the machine later
#
# The machine itself never gets wine32: Debian's wine wrapper would then prefer it. Remove the
# root with `rm -rf "$(bash scripts/wine32-root.sh path)"` while no test runs (the runs mount
# nothing into it outside their own private mount namespaces).
set -euo pipefail

root=${VX_WINE32_ROOT:-/var/lib/zelvora/wine32-root}
# Raise when the recipe below changes, so that every machine makes its root anew.
recipe=1
stamp=$root/.zelvora-wine32-root

complete() { [[ -f $stamp && $(cat "$stamp") == "$recipe" ]]; }

source "$(dirname "$0")/apt-mirror.sh"

in_root() {  # command...: runs inside the root with /proc and /dev of the machine
  unshare --mount --propagation private -- bash -c '
    root=$1; shift
    mount -t proc proc "$root/proc" && mount --rbind /dev "$root/dev" && exec chroot "$root" "$@"
  ' in_root "$root" "$@"
}

# Folders of the machine that a program run inside must see where they are.
shared_folders() {
  local top folder
  top=$(cd "$(dirname "$0")/.." && pwd)
  printf '%s\n' "$top" /tmp
  for folder in "$(dirname "${WINEPREFIX:-/tmp/.}")" "$PWD"; do
    case $folder/ in "$top"/*|/tmp/*) ;; *) printf '%s\n' "$folder" ;; esac
  done
}

run_in_root() {  # command...
  complete || { echo "wine32-root: $root is missing or incomplete (scripts/setup.sh makes it)" >&2; exit 1; }
  local folders
  folders=$(shared_folders)
  # The machine's mounts are made shared (as systemd makes them), and the namespace a slave of
  # them, so that a file system that a test mounts later is seen inside as well, by every
  # program and by the wineserver, whose namespace outlives the command that started it.
  mount --make-rshared /
  # One process from here to the program (each step execs the next), so that a signal sent
  # to this script, by a time-out say, reaches the program itself.
  exec unshare --mount --propagation slave -- bash -c '
    root=$1 folders=$2 cwd=$3; shift 3
    mount -t proc proc "$root/proc" && mount --rbind /dev "$root/dev" || exit 125
    mount --rbind /sys "$root/sys" 2>/dev/null || true
    while IFS= read -r folder; do
      mkdir -p "$root$folder" && mount --rbind "$folder" "$root$folder" || exit 125
    done <<<"$folders"
    exec chroot "$root" /bin/bash -c '\''cd "$1" && shift && exec "$@"'\'' run "$cwd" "$@"
  ' run_in_root "$root" "$folders" "$PWD" "$@"
}

make_root() {
  if [[ $(id -u) -ne 0 ]]; then
    echo "wine32-root: making $root needs root" >&2
    exit 1
  fi
  local url started=$SECONDS
  url=$(apt_mirror wine32-root) || exit 1
  echo "wine32-root: making the 32-bit Wine root in $root (a few minutes, once)" >&2
  rm -rf "$root"
  mkdir -p "$(dirname "$root")"
  debootstrap --variant=minbase --arch=amd64 --components=main bookworm "$root" "$url" >&2
  # The main suite alone: the i386 security index is out of step with the amd64 one.
  echo "deb $url bookworm main" > "$root/etc/apt/sources.list"
  rm -f "$root"/etc/apt/sources.list.d/*
  in_root dpkg --add-architecture i386
  in_root apt-get update -qq >&2
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    wine wine32:i386 wine64 xvfb locales >&2
  # The programs run with LC_ALL=en_GB.UTF-8 (ANSI and OEM code pages 1252 and 850).
  echo 'en_GB.UTF-8 UTF-8' > "$root/etc/locale.gen"
  in_root locale-gen >/dev/null
  in_root apt-get clean
  echo "$recipe" > "$stamp"
  echo "wine32-root: made in $((SECONDS - started)) s" >&2
}

check() {
  if ! complete; then
    echo "the 32-bit Wine root is missing or incomplete ($root; scripts/setup.sh makes it)"
    return 1
  fi
  local out
  if ! out=$(in_root /usr/lib/wine/wine --version 2>&1); then
    echo "this machine's kernel does not run 32-bit code (${out//$'\n'/ })"
    return 1
  fi
}

case "${1:-}" in
  path) echo "$root" ;;
  ensure) complete || make_root ;;
  check) check ;;
  run) shift; run_in_root "$@" ;;
  *) echo "usage: $0 path|ensure|check|run COMMAND..." >&2; exit 2 ;;
esac
