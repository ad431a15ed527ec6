#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and
# this machine lacks. Safe to run again: it installs nothing that is there.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev libgtest-dev
          # the fuzz targets: clang with its sanitizer and libFuzzer runtimes
          clang libclang-rt-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
