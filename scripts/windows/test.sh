#!/usr/bin/env bash
# The Windows path: builds (or reuses) Qt for Windows, cross-builds Rekoda
# and its tests with mingw-w64, runs every test under wine, builds the NSIS
# installer, installs it silently into a wine prefix and starts the program
# until its window appears.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
cache="${REKODA_CACHE:-$HOME/.cache/rekoda}"
build="${WINDOWS_BUILD_DIR:-build-windows}"

scripts/windows/setup.sh
qt=$(scripts/windows/build-qt.sh | tail -n 1)
toolchain="$root/cmake/mingw-w64-x86_64.cmake"

# GoogleTest from Debian's source, with the same toolchain.
gtest="$cache/gtest-windows-$(dpkg-query -W -f='${Version}' googletest)"
if [ ! -f "$gtest/.complete" ]; then
  rm -rf "$gtest" "$cache/gtest-build"
  cmake -S /usr/src/googletest -B "$cache/gtest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$cache/gtest-build" >/dev/null
  cmake --install "$cache/gtest-build" >/dev/null
  touch "$gtest/.complete"
  rm -rf "$cache/gtest-build"
fi

# A wine prefix of our own, made once; one wineserver for the whole run.
export WINEPREFIX="$cache/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
mingw_dll_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
winpthread_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$mingw_dll_dir");$(winepath -w "$winpthread_dir");$(winepath -w "$gtest/bin")"
export WINEPATH

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
  -DGTest_DIR="$gtest/lib/cmake/GTest" -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
  -DREKODA_FUZZ_TESTS=OFF -DREKODA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

export WINEQT_QPA_PLATFORM=offscreen QT_QPA_PLATFORM=offscreen
# wine now and then fails to start a process (the test dies at once with no
# output): a failed test gets one more try, so that only a real failure,
# which fails twice, stops CI.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 300 --repeat until-pass:2 |
  tee "$build/ctest.log"

# The installer, with what windeployqt would copy (it is not built when
# cross-compiling): the Qt and mingw runtime DLLs, the windows platform and
# the native style, the licences. Everything shipped is stripped.
stage="$build/stage"
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/imageformats"
cp "$build/src/rekoda.exe" "$build/src/rekoda-cli.exe" "$stage/"
cp "$qt/bin/Qt6Core.dll" "$qt/bin/Qt6Gui.dll" "$qt/bin/Qt6Widgets.dll" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
# The windows' icon is read from the program's own .ico, in all its sizes.
cp "$qt/plugins/imageformats/qico.dll" "$stage/imageformats/"
cp "$mingw_dll_dir/libstdc++-6.dll" "$mingw_dll_dir/libgcc_s_seh-1.dll" "$winpthread_dir/libwinpthread-1.dll" "$stage/"
# Everything shipped is stripped, COFF symbol tables too.
find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-all
for f in "$stage"/*.exe; do
  x86_64-w64-mingw32-nm "$f" 2>&1 | grep -q 'no symbols' || { echo "windows: $f keeps symbols" >&2; exit 1; }
done
cp README.md CHANGELOG.md "$stage/"
mkdir -p "$stage/docs"
cp docs/*.md "$stage/docs/"  # the README's links
# The window's languages, and Qt's own for its standard buttons (data, the
# same on every system: Debian's, of this Qt version).
mkdir -p "$stage/translations"
cp "$build"/src/translations/rekoda_*.qm "$stage/translations/"
for language in $(cd "$build/src/translations" && ls rekoda_*.qm | sed 's/rekoda_\(.*\)\.qm/\1/'); do
  cp "/usr/share/qt6/translations/qtbase_$language.qm" "$stage/translations/"
done
scripts/windows/notices.sh "$stage"

# make_installer STAGE VERSION SETUP: what the installer puts in place and
# the uninstaller takes away, by name, then the installer.
make_installer() {
  local stage=$1 version=$2 setup=$3
  (
    cd "$stage"
    : > files.nsh
    : > unfiles.nsh
    : > list.nsh
    for dir in . platforms styles imageformats translations docs; do
      echo "SetOutPath \"\$INSTDIR\\${dir#.}\"" >> files.nsh
      for f in $(find "$dir" -maxdepth 1 -type f ! -name '*.nsh' ! -name LICENSE-PAGE.txt | sort); do
        rel=${f#./}
        echo "File \"\${STAGE}\\${rel//\//\\}\"" >> files.nsh
        echo "Delete \"\$INSTDIR\\${rel//\//\\}\"" >> unfiles.nsh
        echo "\${REKODA_FILE} \"${rel//\//\\}\"" >> list.nsh
      done
    done
    echo 'SetOutPath "$INSTDIR"' >> files.nsh
    echo 'RMDir "$INSTDIR\platforms"' >> unfiles.nsh
    echo 'RMDir "$INSTDIR\styles"' >> unfiles.nsh
    echo 'RMDir "$INSTDIR\imageformats"' >> unfiles.nsh
    echo 'RMDir "$INSTDIR\translations"' >> unfiles.nsh
    echo 'RMDir "$INSTDIR\docs"' >> unfiles.nsh
  )
  makensis -V2 -DSTAGE="$(realpath "$stage")" -DOUTFILE="$(realpath "$(dirname "$setup")")/$(basename "$setup")" \
    -DOUTNAME="$(basename "$setup")" -DVERSION="$version" -DICON="$(realpath packaging/windows/rekoda.ico)" \
    packaging/windows/rekoda.nsi
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
make_installer "$stage" "$version" "$build/rekoda-setup.exe"
echo "stage: $(du -sh "$stage" | cut -f1); installer: $(du -h "$build/rekoda-setup.exe" | cut -f1)"
# An older version, for the upgrade test: one file more, which the new
# version no longer has,
rm -rf "$build/stage-old"
cp -r "$stage" "$build/stage-old"
echo "a file only the old version had" > "$build/stage-old/old-only.txt"
# and a Qt6Core.dll of its own, so that a file left of it shows.
printf 'older' >> "$build/stage-old/Qt6Core.dll"
make_installer "$build/stage-old" 0.9.0 "$build/rekoda-setup-old.exe"

# Smoke test: a silent install into the prefix, then the installed program
# must open its window on a virtual display.
scripts/windows/smoke.sh "$build/rekoda-setup.exe" "$version" "$build/rekoda-setup-old.exe" "$build/tests/lock_probe.exe"
