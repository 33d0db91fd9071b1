# Sourced by the scripts that fetch from Debian: apt_mirror prints the mirror this machine's apt
# already uses for bookworm's main suite, and nothing else: no host is named here, so a machine
# fetches only from where its own apt configuration points. With none known it stops the script
# with a line that says what to do.
apt_mirror() {  # who: the name to begin the error line with
  local url
  url=$(apt-cache policy 2>/dev/null | awk '$3 == "bookworm/main" && $4 == "amd64" { print $2; exit }')
  if [[ -z $url ]]; then
    echo "$1: apt knows no bookworm main suite here (apt-cache policy lists none); configure" \
      "a Debian 12 mirror in apt's sources and run apt-get update" >&2
    exit 1
  fi
  echo "$url"
}
