#!/usr/bin/env bash
# smoke.sh SETUP.EXE VERSION: under wine, as a technician would meet it:
#  - a silent install for all users: the files, the Start-menu entry, the
#    Add/Remove Programs entry with version and publisher, the version the
#    installed programs print, and the window opening in the native style;
#  - a silent install into a folder that holds a file of the user's, then a
#    silent uninstall: the user's file stays, the program's files are gone;
#  - a silent install for the current user alone, under %LOCALAPPDATA%\Programs.
set -euo pipefail
setup=$1
version=$2
fail() { echo "smoke: $*" >&2; exit 1; }
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda'

# The wine prefix is kept between runs: start from no earlier install, whose
# remembered mode the installer would otherwise take up.
for hive in HKLM HKCU; do
  wine reg delete "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Rekoda" /f >/dev/null 2>&1 || true
done
wine "$setup" /S /AllUsers >/dev/null 2>&1
installed=$(winepath -u 'C:\Program Files\Rekoda')
for f in rekoda.exe rekoda-cli.exe Qt6Core.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll \
         THIRD-PARTY-NOTICES.txt LICENSE.txt README.md uninstall.exe; do
  [ -f "$installed/$f" ] || fail "$f not installed"
done
[ -f "$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Rekoda.lnk')" ] || fail "no Start-menu entry"
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for value in "DisplayVersion.*$version" "Publisher.*the Rekoda developers" "DisplayIcon.*rekoda.exe" \
             "EstimatedSize.*0x" "QuietUninstallString.*/S" "NoModify.*0x1" "NoRepair.*0x1"; do
  grep -q "$value" <<<"$entry" || fail "Add/Remove Programs lacks $value"
done
[ "$(wine "$installed/rekoda-cli.exe" --version 2>/dev/null | tr -d '\r')" = "rekoda-cli $version" ] ||
  fail "rekoda-cli.exe --version"
[ "$(wine "$installed/rekoda.exe" --version 2>/dev/null | tr -d '\r')" = "rekoda $version" ] || fail "rekoda.exe --version"
echo "smoke: installed for all users, version $version in Add/Remove Programs"

# The real windows platform plugin, not offscreen: unset what the tests set,
# and a wineserver that starts with the virtual display.
report=$(mktemp)
report_windows=$(winepath -w "$report")  # before the restart: winepath starts a wineserver itself
wineserver -k 2>/dev/null || true
env -u WINEQT_QPA_PLATFORM -u QT_QPA_PLATFORM REKODA_STYLE_REPORT="$report_windows" xvfb-run -a bash -c '
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
style=$(tr -d '\r\n' < "$report")
rm -f "$report"
[ "$style" = "windowsvista" ] || fail "the installed program uses the style '$style', not windowsvista"
echo "smoke: the installed program uses the windowsvista style"

# Uninstalling removes exactly what was installed.
tools=$(winepath -u 'C:\Tools\Rekoda')
rm -rf "$tools"
mkdir -p "$tools"
echo "my notes" > "$tools/notes.txt"
wine "$setup" /S /AllUsers '/D=C:\Tools\Rekoda' >/dev/null 2>&1
[ -f "$tools/rekoda.exe" ] || fail "no install into C:\\Tools\\Rekoda"
wine "$tools/uninstall.exe" /S >/dev/null 2>&1
# The uninstaller runs from a copy of itself: wait for it to finish.
for i in $(seq 1 60); do [ -e "$tools/uninstall.exe" ] || break; sleep 1; done
[ "$(cat "$tools/notes.txt" 2>/dev/null)" = "my notes" ] || fail "the uninstaller removed a file of the user's"
left=$(cd "$tools" && find . -mindepth 1 ! -name notes.txt | sort | tr '\n' ' ')
[ -z "$left" ] || fail "the uninstaller left $left"
echo "smoke: uninstalling removed the program's files and kept the user's"

# Just for me: no admin rights needed.
wine "$setup" /S /CurrentUser >/dev/null 2>&1
local_app=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
[ -f "$local_app/Programs/Rekoda/rekoda.exe" ] || fail "no per-user install under %LOCALAPPDATA%\\Programs"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda' >/dev/null 2>&1 ||
  fail "no per-user Add/Remove Programs entry"
echo "smoke: installed for the current user under %LOCALAPPDATA%\\Programs"
# Leave the prefix as it was found.
wine "$local_app/Programs/Rekoda/uninstall.exe" /S /CurrentUser >/dev/null 2>&1 || true
wine "$installed/uninstall.exe" /S /AllUsers >/dev/null 2>&1 || true
