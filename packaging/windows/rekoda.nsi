; Rekoda for Windows: the programs, their Qt and runtime DLLs with their
; licences, a Start-menu entry, an Add/Remove Programs entry and an
; uninstaller that removes exactly what was installed. Built by
; scripts/windows/test.sh with
;   makensis -DSTAGE=<folder> -DOUTFILE=<setup.exe> -DVERSION=<x.y.z> -DICON=<rekoda.ico> rekoda.nsi
; STAGE holds the files and files.nsh / unfiles.nsh, the lists of them.
; For all users (the default, with admin rights) or just the current user
; (under %LOCALAPPDATA%\Programs, no admin rights): /AllUsers, /CurrentUser.
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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE-PAGE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var ChosenDir

Function .onInit
  ; A folder given with /D= wins over the mode's default.
  StrCpy $ChosenDir $INSTDIR
  !insertmacro MULTIUSER_INIT
  StrCmp $ChosenDir "" +2
  StrCpy $INSTDIR $ChosenDir
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Rekoda"
  SetOutPath "$INSTDIR"
  !include "${STAGE}\files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Rekoda.lnk" "$INSTDIR\rekoda.exe"

  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "Rekoda"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "the Rekoda developers"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\rekoda.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

; Only what was installed, by name: a file of the user's in the folder stays,
; and so does the folder then.
Section "Uninstall"
  Delete "$SMPROGRAMS\Rekoda.lnk"
  !include "${STAGE}\unfiles.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
