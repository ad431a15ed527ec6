; Rekoda for Windows: the program, its Qt and runtime DLLs, a Start-menu
; entry and an uninstaller. Built by scripts/windows/test.sh with
;   makensis -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> rekoda.nsi
Unicode true
; A 64-bit installer for a 64-bit program; it also runs under wine64 alone.
Target amd64-unicode
Name "Rekoda"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Rekoda"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Rekoda"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\*.exe"
  File "${STAGE}\*.dll"
  SetOutPath "$INSTDIR\platforms"
  File "${STAGE}\platforms\qwindows.dll"
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Rekoda.lnk" "$INSTDIR\rekoda.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda" "DisplayName" "Rekoda"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Rekoda.lnk"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rekoda"
SectionEnd
