#!/usr/bin/env bash
# smoke.sh SETUP.EXE VERSION OLD-SETUP.EXE LOCK-PROBE.EXE: under wine, as a
# technician would meet it:
#  - the setup program's version resource names it;
#  - an upgrade over an older version (OLD-SETUP.EXE, which has one file
#    more) leaves none of the older version's files;
#  - an upgrade while another program holds a file of the installed version
#    (as a virus scanner does): a short hold is waited out, a long one
#    stops the setup with exit status 2 and the older version whole;
#  - neither setup nor uninstall goes on while rekoda-cli runs;
#  - a silent install for all users: the files, the Start-menu entry, the
#    Add/Remove Programs entry with version and publisher, the version the
#    installed programs print, and the window opening in the native style;
#  - a silent install into a folder that holds a file of the user's, then a
#    silent uninstall by the registered QuietUninstallString, which waits
#    and says 2 while rekoda-cli runs: the user's file stays, the program's
#    files are gone;
#  - a silent install for the current user alone, under %LOCALAPPDATA%\Programs,
#    with /PATH: rekoda-cli on the user's PATH, and off it again after the
#    uninstall, the rest of the PATH as it was, an entry added since too;
#  - PATHs of 900, 1,005, 1,035 and 4,000 characters, the user's and the
#    system's: after setup the old value plus the one entry, or unchanged
#    where that would not fit NSIS's strings; after the uninstall exactly
#    the old value.
set -euo pipefail
setup=$1
version=$2
old_setup=$3
lock_probe=$4
fail() { echo "smoke: $*" >&2; exit 1; }
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda'

# The wine prefix is kept between runs: start from no earlier install, whose
# remembered mode the installer would otherwise take up.
for hive in HKLM HKCU; do
  wine reg delete "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Rekoda" /f >/dev/null 2>&1 || true
done
strings -el "$setup" | grep -A1 -x OriginalFilename | grep -qx "$(basename "$setup")" ||
  fail "the setup program's version resource lacks its OriginalFilename"
strings -el "$setup" | grep -qx rekoda-setup || fail "the setup program's version resource lacks its InternalName"

installed=$(winepath -u 'C:\Program Files\Rekoda')
wine "$old_setup" /S /AllUsers >/dev/null 2>&1
[ -f "$installed/old-only.txt" ] || fail "the older version did not install"
# hold SECONDS: Qt6Core.dll of the installed version held, shared with nobody.
hold() {
  coproc probe { wine "$lock_probe" 'C:\Program Files\Rekoda\Qt6Core.dll' none "${1}000" 2>/dev/null; }
  probe_pid=$probe_PID
  read -r -t 60 line <&"${probe[0]}" && [ "${line%$'\r'}" = held ] || fail "lock_probe did not hold Qt6Core.dll"
}
old_core=$(md5sum < "$installed/Qt6Core.dll")
hold 15
status=0; wine "$setup" /S /AllUsers >/dev/null 2>&1 || status=$?
wait "$probe_pid" 2>/dev/null || true
[ "$status" -eq 2 ] || fail "the upgrade went on while Qt6Core.dll was held (status $status)"
[ "$(md5sum < "$installed/Qt6Core.dll")" = "$old_core" ] && [ -f "$installed/old-only.txt" ] ||
  fail "a held Qt6Core.dll left the older version incomplete"
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q '0\.9\.0' ||
  fail "Add/Remove Programs does not show the version still installed"
[ -z "$(find "$installed" -name '*.rekoda-*')" ] || fail "the stopped upgrade left files aside"
echo "smoke: an upgrade with Qt6Core.dll held stopped with status 2, the older version whole"
hold 3
status=0; wine "$setup" /S /AllUsers >/dev/null 2>&1 || status=$?
wait "$probe_pid" 2>/dev/null || true
[ "$status" -eq 0 ] || fail "the upgrade did not wait out a hold of 3 s (status $status)"
cmp -s "$installed/Qt6Core.dll" "$(dirname "$setup")/stage/Qt6Core.dll" || fail "the upgrade left the older Qt6Core.dll"
[ -z "$(find "$installed" -name '*.rekoda-*')" ] || fail "the upgrade left files aside"
echo "smoke: an upgrade waited out a hold of 3 s and replaced Qt6Core.dll"
[ ! -e "$installed/old-only.txt" ] || fail "the upgrade left a file of the older version"
echo "smoke: the upgrade removed the older version's files"

for f in rekoda.exe rekoda-cli.exe Qt6Core.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll \
         translations/rekoda_de.qm translations/rekoda_nl.qm translations/qtbase_de.qm translations/qtbase_nl.qm \
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

# rekoda-cli waiting for its list of names on standard input: it runs, and
# neither setup nor uninstall may replace or remove its files.
fifo=$(mktemp -u)
# run_cli FOLDER: its rekoda-cli started and waiting; stop_cli ends it.
run_cli() {
  mkfifo "$fifo"
  sleep 300 > "$fifo" &
  holder=$!
  wine "$1/rekoda-cli.exe" --family df --code X --from 'C:\' --to 'C:\' --files-from - < "$fifo" >/dev/null 2>&1 &
  running=$!
  sleep 5
}
stop_cli() {
  kill "$holder" 2>/dev/null || true
  wait "$running" 2>/dev/null || true
  rm -f "$fifo"
}
run_cli "$installed"
before=$(stat -c %Y "$installed/rekoda-cli.exe")
status=0; wine "$setup" /S /AllUsers >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "the setup went on while rekoda-cli ran (status $status)"
wine "$installed/uninstall.exe" /S /AllUsers >/dev/null 2>&1 || true
sleep 5  # the uninstaller runs from a copy of itself
[ -f "$installed/rekoda-cli.exe" ] && [ "$(stat -c %Y "$installed/rekoda-cli.exe")" = "$before" ] ||
  fail "the uninstaller removed the files of a running rekoda-cli"
stop_cli
echo "smoke: setup and uninstall refused while rekoda-cli ran"

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
# As a deployment tool runs it: the registered command, waited for.
quiet=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | tr -d '\r' | sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
quiet_exe=${quiet#\"}; quiet_exe=${quiet_exe%%\"*}
read -ra quiet_args <<<"${quiet#\"*\" }"
run_cli "$tools"
status=0; wine "$quiet_exe" "${quiet_args[@]}" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] && [ -f "$tools/rekoda-cli.exe" ] ||
  fail "the registered quiet uninstall said $status while rekoda-cli ran"
stop_cli
status=0; wine "$quiet_exe" "${quiet_args[@]}" >/dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the registered quiet uninstall said $status"
# Its own file goes once it has ended.
for i in $(seq 1 60); do [ -e "$tools/uninstall.exe" ] || break; sleep 1; done
[ "$(cat "$tools/notes.txt" 2>/dev/null)" = "my notes" ] || fail "the uninstaller removed a file of the user's"
left=$(cd "$tools" && find . -mindepth 1 ! -name notes.txt | sort | tr '\n' ' ')
[ -z "$left" ] || fail "the uninstaller left $left"
echo "smoke: uninstalling removed the program's files and kept the user's"

# Just for me: no admin rights needed; on the user's PATH when asked.
user_path() { { wine reg query 'HKCU\Environment' /v Path 2>/dev/null || true; } | tr -d '\r' | sed -n 's/^ *Path *REG_[A-Z_]* *//p'; }
saved_path=$(user_path)
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\Tools;C:\Other' /f >/dev/null 2>&1
wine "$setup" /S /CurrentUser /PATH >/dev/null 2>&1
local_app=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
[ -f "$local_app/Programs/Rekoda/rekoda.exe" ] || fail "no per-user install under %LOCALAPPDATA%\\Programs"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda' >/dev/null 2>&1 ||
  fail "no per-user Add/Remove Programs entry"
[ "$(user_path)" = "C:\Tools;C:\Other;$(winepath -w "$local_app/Programs/Rekoda")" ] ||
  fail "rekoda-cli is not on the user's PATH: $(user_path)"
echo "smoke: installed for the current user under %LOCALAPPDATA%\\Programs, on the user's PATH"
# An entry added meanwhile stays when the uninstall takes its own off.
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$(user_path);C:\Later" /f >/dev/null 2>&1
uninstall_user() {
  wine "$local_app/Programs/Rekoda/uninstall.exe" /S /CurrentUser >/dev/null 2>&1 || true
  for i in $(seq 1 60); do [ -e "$local_app/Programs/Rekoda/uninstall.exe" ] || break; sleep 1; done
}
uninstall_user
[ "$(user_path)" = 'C:\Tools;C:\Other;C:\Later' ] || fail "the uninstall left the PATH as $(user_path)"
echo "smoke: the uninstall took rekoda-cli off the PATH and kept the rest"

# Long PATHs, which NSIS reads as empty past its 1,024 characters.
long_path() {  # long_path LENGTH [START]: entries up to exactly LENGTH characters
  local p=${2:-'C:\Long\tool0'} i=1
  while [ ${#p} -lt "$1" ]; do p="$p;C:\Long\tool$i"; i=$((i + 1)); done
  printf '%s' "${p:0:$1}"
}
limit=1022  # NSIS_MAX_STRLEN less two
user_dir=$(winepath -w "$local_app/Programs/Rekoda")
for length in 900 1005 1035 4000; do
  before=$(long_path "$length")
  wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$before" /f >/dev/null 2>&1
  status=0
  wine "$setup" /S /CurrentUser /PATH >/dev/null 2>&1 || status=$?
  expected=$before expected_status=3  # installed, the PATH left alone: said by the exit status
  [ $((length + 1 + ${#user_dir})) -lt "$limit" ] && expected="$before;$user_dir" expected_status=0
  [ "$(user_path)" = "$expected" ] || fail "a user PATH of $length characters became $(user_path | cut -c1-80)… ($(user_path | wc -c))"
  [ "$status" = "$expected_status" ] || fail "the setup with a user PATH of $length characters exited $status, not $expected_status"
  uninstall_user
  [ "$(user_path)" = "$before" ] || fail "the uninstall left a user PATH of $length characters as $(user_path | wc -c)"
done
system_key='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
system_path() { { wine reg query "$system_key" /v Path 2>/dev/null || true; } | tr -d '\r' | sed -n 's/^ *Path *REG_[A-Z_]* *//p'; }
saved_system=$(system_path)
before=$(long_path 1035 "$saved_system")
wine reg add "$system_key" /v Path /t REG_EXPAND_SZ /d "$before" /f >/dev/null 2>&1
status=0
wine "$setup" /S /AllUsers /PATH >/dev/null 2>&1 || status=$?
[ "$(system_path)" = "$before" ] || fail "a system PATH of 1035 characters became $(system_path | wc -c) characters"
[ "$status" = 3 ] || fail "the setup with a system PATH too long exited $status, not 3"
wine "$installed/uninstall.exe" /S /AllUsers >/dev/null 2>&1 || true
for i in $(seq 1 60); do [ -e "$installed/uninstall.exe" ] || break; sleep 1; done
[ "$(system_path)" = "$before" ] || fail "the uninstall left a system PATH of 1035 characters as $(system_path | wc -c)"
wine reg add "$system_key" /v Path /t REG_EXPAND_SZ /d "$saved_system" /f >/dev/null 2>&1
wine "$setup" /S /AllUsers >/dev/null 2>&1  # for the clean-up below
echo "smoke: PATHs of 900, 1005, 1035 and 4000 characters: added where they fit, else untouched; the uninstall gave each back"
# Leave the prefix as it was found.
wine "$installed/uninstall.exe" /S /AllUsers >/dev/null 2>&1 || true
if [ -n "$saved_path" ]; then
  wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1 || true
else
  wine reg delete 'HKCU\Environment' /v Path /f >/dev/null 2>&1 || true
fi
