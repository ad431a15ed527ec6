; Rekoda for Windows: the programs, their Qt and runtime DLLs with their
; licences, a Start-menu entry, an Add/Remove Programs entry and an
; uninstaller that removes exactly what was installed. Built by
; scripts/windows/test.sh with
;   makensis -DSTAGE=<folder> -DOUTFILE=<setup.exe> -DOUTNAME=<its file name> -DVERSION=<x.y.z>
;            -DICON=<rekoda.ico> rekoda.nsi
; STAGE holds the files and files.nsh / unfiles.nsh, the lists of them.
; For all users (the default, with admin rights) or just the current user
; (under %LOCALAPPDATA%\Programs, no admin rights): /AllUsers, /CurrentUser.
; /PATH puts rekoda-cli on the PATH (the system's for all users, the user's
; otherwise), as the option on the components page does; a PATH too long
; to change safely is left alone, and the setup exits with status 3.
; An upgrade first runs the uninstaller of the version it replaces, so that
; none of that version's files stay behind. Neither setup nor uninstall
; goes on while a Rekoda program runs (exit status 2 when silent), and an
; upgrade that cannot replace every file leaves the installed version as it
; was (exit status 2 when silent): never two versions' files side by side.
; STAGE also holds list.nsh, one ${REKODA_FILE} "name" line a file.
Unicode true
; A 64-bit installer for a 64-bit program; it also runs under wine64 alone.
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda"
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "Rekoda"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WordFunc.nsh
!include WinMessages.nsh
!include Sections.nsh

!define /math PATH_LIMIT ${NSIS_MAX_STRLEN} - 2

Name "Rekoda ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Rekoda ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Rekoda"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Rekoda ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "the Rekoda developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 the Rekoda developers. MIT licence."
VIAddVersionKey /LANG=1033 "InternalName" "rekoda-setup"
VIAddVersionKey /LANG=1033 "OriginalFilename" "${OUTNAME}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE-PAGE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var ChosenDir

; A running program's file cannot be opened for writing: $0 becomes 1.
!macro REKODA_HELD FILE
  ${If} ${FileExists} "${FILE}"
    ClearErrors
    FileOpen $4 "${FILE}" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $4
    ${EndIf}
  ${EndIf}
!macroend

; Both programs hold this mutex while they run; 1.0.0 held none, but its
; running files cannot be opened for writing. Sets $0 to 1 while any runs.
!macro REKODA_RUNNING un
Function ${un}RekodaRunning
  StrCpy $0 0
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Global\Rekoda.Running") p .r1'
  ${If} $1 == 0
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Local\Rekoda.Running") p .r1'
  ${EndIf}
  ${If} $1 != 0
    System::Call 'kernel32::CloseHandle(p r1)'
    StrCpy $0 1
    Return
  ${EndIf}
  !insertmacro REKODA_HELD "$INSTDIR\rekoda.exe"
  !insertmacro REKODA_HELD "$INSTDIR\rekoda-cli.exe"
FunctionEnd

; Asks to close Rekoda until it is closed or the user gives up; a silent
; run gives up at once, with exit status 2, before anything changed.
Function ${un}RefuseWhileRunning
  retry:
    Call ${un}RekodaRunning
    StrCmp $0 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Rekoda is running. Close the Rekoda window and every rekoda-cli, then choose Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  done:
FunctionEnd
!macroend
!insertmacro REKODA_RUNNING ""
!insertmacro REKODA_RUNNING "un."

; Runs MACRO for each file this version puts in place.
!macro REKODA_FOR_EACH_FILE MACRO
  !define REKODA_FILE "!insertmacro ${MACRO}"
  !include "${STAGE}\list.nsh"
  !undef REKODA_FILE
!macroend

; The installed file of a name this version has moves aside, to come back
; if this version cannot be put in place whole. A file held open by another
; program cannot move: $0 becomes 1 and $1 its name.
!macro REKODA_ASIDE FILE
  ${If} ${FileExists} "$INSTDIR\${FILE}"
    Delete "$INSTDIR\${FILE}.rekoda-old"
    ClearErrors
    Rename "$INSTDIR\${FILE}" "$INSTDIR\${FILE}.rekoda-old"
    ${If} ${Errors}
      StrCpy $0 1
      StrCpy $1 "${FILE}"
    ${EndIf}
  ${EndIf}
!macroend
!macro REKODA_BACK FILE
  ${If} ${FileExists} "$INSTDIR\${FILE}.rekoda-old"
    Rename "$INSTDIR\${FILE}.rekoda-old" "$INSTDIR\${FILE}"
  ${EndIf}
!macroend
; What this version wrote goes, and what it replaced comes back.
!macro REKODA_UNDO FILE
  Delete "$INSTDIR\${FILE}"
  !insertmacro REKODA_BACK "${FILE}"
!macroend
!macro REKODA_DROP FILE
  Delete /REBOOTOK "$INSTDIR\${FILE}.rekoda-old"
!macroend
; The older version's uninstaller removes its files by name: this
; version's stay out of its way meanwhile.
!macro REKODA_NEW_ASIDE FILE
  Rename "$INSTDIR\${FILE}" "$INSTDIR\${FILE}.rekoda-new"
!macroend
!macro REKODA_NEW_BACK FILE
  ${If} ${FileExists} "$INSTDIR\${FILE}.rekoda-new"
    ClearErrors
    Rename "$INSTDIR\${FILE}.rekoda-new" "$INSTDIR\${FILE}"
    ${If} ${Errors}
      StrCpy $0 1
      StrCpy $1 "${FILE}"
    ${EndIf}
  ${EndIf}
!macroend

; Every installed file this version replaces moves aside, all or none; a
; file held by another program (a virus scanner holds one a moment) is
; tried again for five seconds, then the user is asked; a silent setup
; stops with exit status 2, nothing changed.
Function PutAside
  StrCpy $R5 0
  retry:
    StrCpy $0 0
    !insertmacro REKODA_FOR_EACH_FILE REKODA_ASIDE
    StrCmp $0 0 done
    !insertmacro REKODA_FOR_EACH_FILE REKODA_BACK
    IntOp $R5 $R5 + 1
    ${If} $R5 < 10
      Sleep 500
      Goto retry
    ${EndIf}
    DetailPrint "$INSTDIR\$1 is in use by another program: the installed version stays as it is."
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$INSTDIR\$1 is in use by another program, so Rekoda ${VERSION} cannot replace it. Close that program, then choose Retry; Cancel leaves the installed version as it is." /SD IDCANCEL IDRETRY again
    SetErrorLevel 2
    Quit
  again:
    StrCpy $R5 0
    Goto retry
  done:
FunctionEnd

; The PATH of this install's kind: the system's for all users, the user's
; for one.
; SHCTX is HKLM for all users and HKCU for one.
!macro REKODA_PATH_KEY
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $R9 "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
    StrCpy $R7 0x80000002
  ${Else}
    StrCpy $R9 "Environment"
    StrCpy $R7 0x80000001
  ${EndIf}
!macroend

; The PATH as the registry holds it, asked of the system itself: ReadRegStr
; gives an empty string for a value longer than NSIS's strings, which would
; read as "no PATH yet". $R0 the value, whole or not at all; $R8 its length
; in characters (-1: there is none; -2: it cannot be read whole); $R3 its
; type (1 REG_SZ, 2 REG_EXPAND_SZ), kept when it is written back.
!macro REKODA_READ_PATH
  StrCpy $R0 ""
  StrCpy $R8 -1
  StrCpy $R3 2
  System::Call 'advapi32::RegOpenKeyExW(p $R7, w "$R9", i 0, i 0x20119, *p .R6) i .R5'
  ${If} $R5 == 0
    System::Call 'advapi32::RegQueryValueExW(p $R6, w "Path", p 0, *i .R3, p 0, *i 0 R4) i .R5'
    System::Call 'advapi32::RegCloseKey(p $R6)'
    ${If} $R5 == 0
      IntOp $R8 $R4 / 2
      ${If} $R8 < ${PATH_LIMIT}
        ReadRegStr $R0 SHCTX $R9 "Path"
        StrLen $R4 $R0
        ; The size counts the closing NUL, when the value has one.
        IntOp $R5 $R8 - 1
        ${If} $R4 == $R8
        ${OrIf} $R4 == $R5
          StrCpy $R8 $R4
        ${Else}
          StrCpy $R8 -2
        ${EndIf}
      ${Else}
        StrCpy $R8 -2
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

!macro REKODA_WRITE_PATH VALUE
  ${If} $R3 == 1
    WriteRegStr SHCTX $R9 "Path" "${VALUE}"
  ${Else}
    WriteRegExpandStr SHCTX $R9 "Path" "${VALUE}"
  ${EndIf}
!macroend

Section "Rekoda" SecMain
  SectionIn RO
  ; Rekoda may have started since the first look.
  Call RefuseWhileRunning

  ; The other kind of install stays as it is; say so, since two installs
  ; mean two entries under Apps and two programs of the same name.
  ${If} $MultiUser.InstallMode == "AllUsers"
    ReadRegStr $R2 HKCU "${UNINST_KEY}" "InstallLocation"
    StrCpy $R3 "for you alone"
  ${Else}
    ReadRegStr $R2 HKLM "${UNINST_KEY}" "InstallLocation"
    StrCpy $R3 "for all users"
  ${EndIf}
  ${If} $R2 != ""
    DetailPrint "Rekoda is also installed $R3 in $R2; that install stays."
    MessageBox MB_OK|MB_ICONINFORMATION "Rekoda is also installed $R3, in $R2. That install stays as it is; uninstall it under Apps if one is enough." /SD IDOK
  ${EndIf}

  SetOutPath "$INSTDIR"
  Call PutAside
  ; A file that cannot be written is skipped with the error flag set,
  ; never asked about: the whole version goes back instead.
  ClearErrors
  SetOverwrite try
  !include "${STAGE}\files.nsh"
  SetOverwrite on
  ${If} ${Errors}
    !insertmacro REKODA_FOR_EACH_FILE REKODA_UNDO
    DetailPrint "Rekoda ${VERSION} could not be written to $INSTDIR: the installed version stays as it is."
    MessageBox MB_OK|MB_ICONSTOP "Rekoda ${VERSION} could not be written to $INSTDIR (is the disk full?). The installed version stays as it is." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  ; An upgrade: the version replaced removes its own files, by its own
  ; list, so that none it had and this one has not stay behind. _?= keeps
  ; its uninstaller where it is and waits for it; /Upgrade leaves that
  ; uninstaller to this setup, which replaces it (a copy of it that removed
  ; it once it had ended could take the new one instead).
  ReadRegStr $R0 SHCTX "${UNINST_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\uninstall.exe"
    DetailPrint "Removing the files of the version installed in $R0"
    ${If} $R0 == $INSTDIR
      !insertmacro REKODA_FOR_EACH_FILE REKODA_NEW_ASIDE
    ${EndIf}
    ExecWait '"$R0\uninstall.exe" /S /$MultiUser.InstallMode /Upgrade _?=$R0' $R1
    StrCpy $0 0
    ${If} $R0 == $INSTDIR
      !insertmacro REKODA_FOR_EACH_FILE REKODA_NEW_BACK
    ${EndIf}
    ${If} $0 == 1
      DetailPrint "$INSTDIR\$1 could not be put in place."
      MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\$1 could not be put in place. Run the setup again." /SD IDOK
      SetErrorLevel 2
    ${EndIf}
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
  ${EndIf}
  !insertmacro REKODA_FOR_EACH_FILE REKODA_DROP

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Rekoda.lnk" "$INSTDIR\rekoda.exe"

  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "Rekoda"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "the Rekoda developers"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\rekoda.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  ; In place (_?=), so that a deployment tool waits for it and sees its
  ; exit status; without, NSIS hands off to a copy of itself at once.
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S _?=$INSTDIR'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

; NSIS strings hold ${NSIS_MAX_STRLEN} characters: a PATH that, with this
; folder added, would not fit is left alone, never written back cut.
Section /o "rekoda-cli on the PATH" SecPath
  !insertmacro REKODA_PATH_KEY
  !insertmacro REKODA_READ_PATH
  StrLen $R1 "$INSTDIR"
  IntOp $R1 $R1 + $R8
  IntOp $R1 $R1 + 2
  ${If} $R8 == -2
  ${OrIf} $R1 >= ${PATH_LIMIT}
    DetailPrint "The PATH is too long for the setup to change safely; add $INSTDIR to it yourself."
    MessageBox MB_OK|MB_ICONEXCLAMATION "The PATH is too long for the setup to change safely. Add $INSTDIR to it yourself to run rekoda-cli from any folder." /SD IDOK
    ; A deployment tool reads no box: installed, but not on the PATH.
    SetErrorLevel 3
    Return
  ${EndIf}
  ${WordFind} "$R0" ";" "E/$INSTDIR" $R2
  ${If} ${Errors}
    ; Not there yet: added, and noted, so that only what was added goes.
    ${If} $R0 == ""
      StrCpy $R0 "$INSTDIR"
    ${Else}
      StrCpy $R0 "$R0;$INSTDIR"
    ${EndIf}
    !insertmacro REKODA_WRITE_PATH "$R0"
    WriteRegDWORD SHCTX "${UNINST_KEY}" "AddedToPath" 1
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "The Rekoda window, rekoda-cli, and the Qt they need."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} "Run rekoda-cli from any folder in a command prompt."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ; A folder given with /D= wins over the mode's default.
  StrCpy $ChosenDir $INSTDIR
  !insertmacro MULTIUSER_INIT
  StrCmp $ChosenDir "" +2
  StrCpy $INSTDIR $ChosenDir
  ; /PATH, or an upgrade of an install that put itself on the PATH.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PATH" $R1
  StrCpy $R1 1
  ${IfThen} ${Errors} ${|} StrCpy $R1 0 ${|}
  ReadRegDWORD $R2 SHCTX "${UNINST_KEY}" "AddedToPath"
  ${If} $R1 == 1
  ${OrIf} $R2 == 1
    SectionSetFlags ${SecPath} ${SF_SELECTED}
  ${EndIf}
  Call RefuseWhileRunning
FunctionEnd

Function un.onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AfterUninstall=" $R1
  ${IfNot} ${Errors}
    ; The copy that removes the uninstaller run in place, once it has ended.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i $R1) p .R2'
    ${If} $R2 != 0
      System::Call 'kernel32::WaitForSingleObject(p $R2, i 60000)'
      System::Call 'kernel32::CloseHandle(p $R2)'
    ${EndIf}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete /REBOOTOK "$EXEPATH"
    Quit
  ${EndIf}
  !insertmacro MULTIUSER_UNINIT
  Call un.RefuseWhileRunning
FunctionEnd

; Only what was installed, by name: a file of the user's in the folder stays,
; and so does the folder then.
Section "Uninstall"
  ReadRegDWORD $R3 SHCTX "${UNINST_KEY}" "AddedToPath"
  ${If} $R3 == 1
    !insertmacro REKODA_PATH_KEY
    !insertmacro REKODA_READ_PATH
    ${If} $R8 > 0
      ; Exactly the entry that was added goes, whatever was added since.
      ${WordAdd} "$R0" ";" "-$INSTDIR" $R2
      ${If} $R2 != $R0
        !insertmacro REKODA_WRITE_PATH "$R2"
        SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
      ${EndIf}
    ${ElseIf} $R8 == -2
      DetailPrint "The PATH is too long for the uninstall to change safely; remove $INSTDIR from it yourself."
      MessageBox MB_OK|MB_ICONEXCLAMATION "The PATH is too long for the uninstall to change safely. Remove $INSTDIR from it yourself." /SD IDOK
    SetErrorLevel 3
    ${EndIf}
  ${EndIf}
  Delete "$SMPROGRAMS\Rekoda.lnk"
  !include "${STAGE}\unfiles.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Run in place, the uninstaller cannot delete itself: a copy of it in the
  ; temporary folder does once this one has ended. Not in an upgrade, whose
  ; setup deletes it and writes its own.
  ${GetParameters} $R4
  ClearErrors
  ${GetOptions} $R4 "/Upgrade" $R5
  ${If} ${Errors}
  ${AndIf} $EXEDIR == $INSTDIR
    GetTempFileName $0
    Rename $0 "$0.exe"
    CopyFiles /SILENT "$EXEPATH" "$0.exe"
    System::Call 'kernel32::GetCurrentProcessId() i .r1'
    ClearErrors
    Exec '"$0.exe" /AfterUninstall=$1 _?=$INSTDIR'
    ${If} ${Errors}
      Delete "$0.exe"
      Delete /REBOOTOK "$INSTDIR\uninstall.exe"
      RMDir /REBOOTOK "$INSTDIR"
    ${EndIf}
  ${EndIf}
  DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
