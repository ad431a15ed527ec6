#!/usr/bin/env bash
# Installs from Debian's packages what the Windows build, its tests under
# wine and the installer need. Safe to run again.
set -euo pipefail

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          ninja-build dpkg-dev cmake qt6-base-dev qt6-base-dev-tools libgtest-dev
          wine wine64 nsis xvfb xauth x11-utils
          # lrelease for the window's translations, and Qt's own to ship
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "windows setup: need root or sudo" >&2; exit 1; }
  sudo="sudo"
fi

# Qt for Windows is built from Debian's own source of qt6-base, which needs
# a deb-src entry mirroring the Debian one.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$src" | $sudo tee /etc/apt/sources.list.d/rekoda-deb-src.sources >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $sudo tee /etc/apt/sources.list.d/rekoda-deb-src.list >/dev/null
  fi
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "windows setup: installing ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
