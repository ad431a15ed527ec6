#!/usr/bin/env bash
# notices.sh STAGE: writes the licence texts of what the Windows installer
# ships besides Rekoda into STAGE: THIRD-PARTY-NOTICES.txt (all of them) and
# LICENSE-PAGE.txt (Rekoda's licence and the list, for the installer's page).
set -euo pipefail
cd "$(dirname "$0")/../.."
stage=$1
qt_source=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${qt_source%%+*}
gcc_version=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
mingw_source=$(dpkg-query -W -f='${Version}' mingw-w64-common)

summary() {
  cat <<TEXT
Third-party components shipped with Rekoda for Windows
======================================================

- Qt ${qt_version} (Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, the plugins in
  platforms\\ and styles\\), by The Qt Company and the Qt contributors,
  under the GNU Lesser General Public License version 3 (LGPL-3.0), which
  incorporates the GNU General Public License version 3. Built unmodified,
  with Debian's patches, from Debian's source package qt6-base version
  ${qt_source}: "apt-get source qt6-base=${qt_source}" on Debian 12 gives
  that source, and scripts/windows/build-qt.sh in Rekoda's source shows how
  it was built. You may replace these DLLs with your own build of Qt.
- The GCC ${gcc_version} runtime of mingw-w64 (libstdc++-6.dll,
  libgcc_s_seh-1.dll), under the GNU General Public License version 3 with
  the GCC Runtime Library Exception version 3.1.
- winpthreads of mingw-w64 (libwinpthread-1.dll), Debian source package
  mingw-w64 version ${mingw_source}, under the MIT (Expat) licence and the
  other permissive terms listed below.

The full texts follow in THIRD-PARTY-NOTICES.txt in the installation folder.
TEXT
}

{
  summary
  printf '\n\n==== GNU Lesser General Public License, version 3 ====\n\n'
  cat /usr/share/common-licenses/LGPL-3
  printf '\n\n==== GNU General Public License, version 3 ====\n\n'
  cat /usr/share/common-licenses/GPL-3
  printf '\n\n==== The GCC runtime of mingw-w64: copyright and licence (from Debian) ====\n\n'
  cat /usr/share/doc/gcc-mingw-w64-base/copyright
  printf '\n\n==== winpthreads and the mingw-w64 runtime: copyright and licence (from Debian) ====\n\n'
  cat /usr/share/doc/mingw-w64-common/copyright
} | sed 's/$/\r/' > "$stage/THIRD-PARTY-NOTICES.txt"

{
  cat LICENSE
  printf '\n\n'
  summary
} | sed 's/$/\r/' > "$stage/LICENSE-PAGE.txt"
sed 's/$/\r/' LICENSE > "$stage/LICENSE.txt"
