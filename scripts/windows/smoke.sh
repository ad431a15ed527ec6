#!/usr/bin/env bash
# smoke.sh SETUP.EXE: installs Rekoda silently into the wine prefix and
# starts the installed program on a virtual display until its window shows.
set -euo pipefail
setup=$1
target='C:\Program Files\Rekoda'
wine "$setup" /S >/dev/null 2>&1
installed=$(winepath -u "$target")
[ -f "$installed/rekoda.exe" ] || { echo "smoke: rekoda.exe not installed" >&2; exit 1; }
[ -f "$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Rekoda.lnk')" ] ||
  { echo "smoke: no Start-menu entry" >&2; exit 1; }
# The real windows platform plugin, not offscreen: unset what the tests set,
# and a wineserver that starts with the virtual display.
wineserver -k 2>/dev/null || true
env -u WINEQT_QPA_PLATFORM -u QT_QPA_PLATFORM xvfb-run -a bash -c '
  wine "$1/rekoda.exe" >/dev/null 2>&1 &
  for i in $(seq 1 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q "Change Extension"; then
      echo "smoke: the installed rekoda.exe opened its window"
      kill %1 2>/dev/null || true
      exit 0
    fi
    sleep 1
  done
  echo "smoke: no window within 120 s" >&2
  exit 1' _ "$installed"
