#!/usr/bin/env bash
# Fetches the sources of the libraries the Windows build compiles itself (Debian has no
# mingw-w64 builds of them) from Debian's source packages, with Debian's patches,, into DIR/expat, DIR/minizip
# and DIR/freexl. Usage: windows/fetch_sources.sh DIR
set -euo pipefail
dir=$1
[ -f "$dir/.complete" ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! apt-get source --download-only --print-uris expat >/dev/null 2>&1; then
  # The machine lists binary packages only: add the source packages of the same suite.
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$suite" | $sudo tee /etc/apt/sources.list.d/velmora-sources.sources >/dev/null
  $sudo apt-get update -qq
fi
rm -rf "$dir"
mkdir -p "$dir/download"
(cd "$dir/download" && apt-get source --download-only expat freexl minizip >/dev/null 2>&1)
# Unpacked with Debian's own patches (security fixes among them).
for pkg in expat freexl minizip; do
  dpkg-source --no-check -x "$dir"/download/"${pkg}"_*.dsc "$dir/$pkg" >/dev/null
done
touch "$dir/.complete"
