#!/usr/bin/env bash
# Builds the Debian package in ./build, checks it with lintian (no error, no
# warning), unpacks it into a scratch folder and runs the packaged programs:
# rekoda-cli --version and a one-file conversion, rekoda --version.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
missing=()
for p in dpkg-dev lintian; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
build="${BUILD_DIR:-build}"
scripts/build.sh >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/rekoda_${version}_$(dpkg --print-architecture).deb"
echo "package: $deb"
lintian --fail-on error,warning "$deb" 2>&1 | grep -v '^running with root privileges' || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || { echo "package: lintian found errors or warnings" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
cli="$scratch/root/usr/bin/rekoda-cli"
[ "$("$cli" --version)" = "rekoda-cli $version" ] || { echo "package: wrong rekoda-cli --version" >&2; exit 1; }
[ "$(QT_QPA_PLATFORM=offscreen "$scratch/root/usr/bin/rekoda" --version)" = "rekoda $version" ] ||
  { echo "package: wrong rekoda --version" >&2; exit 1; }
mkdir -p "$scratch/in" "$scratch/out"
printf 'L01,MINI,LOGGER\r\n"01-01-05",12.5\r\n' > "$scratch/in/DF1.L01"
"$cli" --family df --code L07 --from "$scratch/in" --to "$scratch/out" --quiet
expected=$(printf '"L07","MINI","LOGGER"\r\n"01-01-05","12.5"\r\n')
[ "$(cat "$scratch/out/DF1.L07")" = "$expected" ] || { echo "package: the packaged rekoda-cli wrote the wrong bytes" >&2; exit 1; }
echo "package: the packaged programs run and convert"
