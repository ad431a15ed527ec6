#!/usr/bin/env bash
# Makes packaging/windows/rekoda.ico (16 to 256 pixels) from
# packaging/rekoda.svg. The .ico is committed; run this after changing the
# picture. Needs librsvg2-bin and icoutils from Debian.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sizes=(16 24 32 48 64 256)
for s in "${sizes[@]}"; do
  rsvg-convert -w "$s" -h "$s" packaging/rekoda.svg -o "$work/$s.png"
done
# The largest stays PNG inside the .ico, as Windows allows since Vista.
icotool -c -o packaging/windows/rekoda.ico "$work"/{16,24,32,48,64}.png -r "$work/256.png"
