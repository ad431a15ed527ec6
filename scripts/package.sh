#!/usr/bin/env bash
# Builds the two Debian packages in ./build (rekoda-cli: the command alone;
# rekoda: the window), checks each with lintian (no error, no warning), the
# desktop entry with desktop-file-validate, the AppStream metainfo with
# appstreamcli and the manual pages with mandoc; installs neither, but
# unpacks each into a scratch folder of its own and runs its program there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
missing=()
for p in dpkg-dev lintian appstream desktop-file-utils mandoc; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
fail() { echo "package: $*" >&2; exit 1; }
build="${BUILD_DIR:-build}"
scripts/build.sh >/dev/null
# The packages install under /usr, where zsh looks into vendor-completions;
# the build folder then goes back to the default of its own prefix.
cmake -S . -B "$build" -DREKODA_ZSH_COMPLETION_DIR=share/zsh/vendor-completions >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
(cd "$build" && cpack -G DEB >/dev/null)
cmake -S . -B "$build" -UREKODA_ZSH_COMPLETION_DIR >/dev/null
arch=$(dpkg --print-architecture)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for package in rekoda-cli rekoda; do
  deb="$build/${package}_${version}_${arch}.deb"
  echo "package: $deb"
  lintian --fail-on error,warning "$deb" 2>&1 | grep -v '^running with root privileges' || true
  lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian found errors or warnings in $package"
  dpkg -x "$deb" "$scratch/$package"
  [ -f "$scratch/$package/usr/share/doc/$package/CHANGELOG.md" ] || fail "$package has no CHANGELOG.md"
  for page in "$scratch/$package"/usr/share/man/man1/*.1.gz; do
    mandoc -Tlint -W warning "$page" || fail "mandoc finds fault with $(basename "$page")"
  done
done

# rekoda-cli: Qt Core and nothing of the desktop; it converts; its
# completions are where the shells look.
depends=$(dpkg-deb -f "$build/rekoda-cli_${version}_${arch}.deb" Depends)
grep -q libqt6core6 <<<"$depends" || fail "rekoda-cli does not depend on Qt Core"
! grep -Eq 'libqt6(gui|widgets)' <<<"$depends" || fail "rekoda-cli depends on more than Qt Core: $depends"
# rekoda: the package of the platform plugin a window opens through (xcb),
# as dpkg knows it, and nothing for plugins it never loads.
window_depends=$(dpkg-deb -f "$build/rekoda_${version}_${arch}.deb" Depends)
xcb_package=$(dpkg -S 'libqxcb.so' | grep '/qt6/plugins/platforms/' | head -n 1 | cut -d: -f1)
[ -n "$xcb_package" ] || fail "no installed package holds Qt 6's xcb platform plugin"
grep -Eq "(^|, )$xcb_package( |,|$)" <<<"$window_depends" || fail "rekoda does not depend on $xcb_package (the xcb plugin's): $window_depends"
! grep -q qt6-qpa-plugins <<<"$window_depends" || fail "rekoda depends on qt6-qpa-plugins, whose plugins it never loads"
grep -q libqt6widgets6 <<<"$window_depends" || fail "rekoda's shlibs depends were lost: $window_depends"
root="$scratch/rekoda-cli"
for f in share/bash-completion/completions/rekoda-cli share/zsh/vendor-completions/_rekoda-cli \
         share/fish/vendor_completions.d/rekoda-cli.fish; do
  [ -f "$root/usr/$f" ] || fail "rekoda-cli lacks /usr/$f"
done
cli="$root/usr/bin/rekoda-cli"
[ "$("$cli" --version)" = "rekoda-cli $version" ] || fail "wrong rekoda-cli --version"
mkdir -p "$scratch/in" "$scratch/out"
printf 'L01,MINI,LOGGER\r\n"01-01-05",12.5\r\n' > "$scratch/in/DF1.L01"
XDG_DATA_HOME="$scratch/data" "$cli" --family df --code L07 --from "$scratch/in" --to "$scratch/out" --quiet
expected=$(printf '"L07","MINI","LOGGER"\r\n"01-01-05","12.5"\r\n')
[ "$(cat "$scratch/out/DF1.L07")" = "$expected" ] || fail "the packaged rekoda-cli wrote the wrong bytes"

# rekoda: its help without a display, a usage error's status, its desktop
# entry and its metainfo.
root="$scratch/rekoda"
gui="$root/usr/bin/rekoda"
[ "$(QT_QPA_PLATFORM=offscreen "$gui" --version)" = "rekoda $version" ] || fail "wrong rekoda --version"
env -u DISPLAY -u WAYLAND_DISPLAY "$gui" --help | grep -q '^Usage: rekoda \[SOURCE_FOLDER \[DEST_FOLDER\]\]' ||
  fail "rekoda --help"
status=0; env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$gui" --bogus 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "rekoda --bogus exits $status without a display, not 2"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$gui" -V)" = "rekoda $version" ] || fail "rekoda -V"
for language in de nl; do
  [ -s "$root/usr/share/rekoda/translations/rekoda_$language.qm" ] || fail "rekoda lacks its $language translation"
done
dpkg-deb -f "$build/rekoda_${version}_${arch}.deb" Recommends | grep -q qt6-translations-l10n ||
  fail "rekoda does not recommend Qt's own translations"
desktop-file-validate "$root/usr/share/applications/rekoda.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "the AppStream metainfo is not valid"
grep -q "<release version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml || fail "the metainfo lacks release $version"
echo "package: both packages are lintian-clean, and their programs run, convert and carry their translations"
