#!/usr/bin/env bash
# Builds Qt for Windows (Core, Gui, Widgets, Test) from Debian's qt6-base
# source with mingw-w64, once per machine: the result is cached under
# ~/.cache/rekoda, keyed by the source version and these options, and never
# committed. Prints the install prefix on its last line.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
cache="${REKODA_CACHE:-$HOME/.cache/rekoda}"
mkdir -p "$cache"

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_tabletevent=OFF -DINPUT_opengl=no
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_jpeg=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF
  -DFEATURE_zstd=OFF -DFEATURE_glib=OFF -DFEATURE_testlib=ON -DFEATURE_widgets=ON
)
key=$(printf '%s\n' "$version" "${options[@]}" "$(cat "$here/cmake/mingw-w64-x86_64.cmake")" | sha256sum | cut -c1-12)
prefix="$cache/qt-windows-$key"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work="$cache/qt-build-$key"
rm -rf "$work" "$prefix"
mkdir -p "$work"
(cd "$work" && apt-get source -qq --download-only qt6-base >/dev/null && dpkg-source -x qt6-base_*.dsc src >/dev/null)
cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 ||
  { tail -40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
