; The TileRiot installer: installs for the player alone, without administrator
; rights, into %LOCALAPPDATA%\Programs\TileRiot, with a Start menu shortcut
; that starts the game in its folder and an entry in Apps & features. The
; uninstaller takes out the program and its read-only files and keeps what the
; player made there: high scores, saved games, level files of their own.
; Made by packaging/windows/CMakeLists.txt:
;   makensis -DVERSION=x.y.z -DPUBLISHER=... -DICON=x.ico -DFILES=files.nsh -DOUTFILE=x.exe installer.nsi

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include FileFunc.nsh
!include "${FILES}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TileRiot"

Name "TileRiot"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\TileRiot"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "TileRiot ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "TileRiot"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "TileRiot installer"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright 2026 The TileRiot team"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The shortcut starts the game in the folder it was made in: $INSTDIR.
  CreateShortCut "$SMPROGRAMS\TileRiot.lnk" "$INSTDIR\tileriot.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "TileRiot"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tileriot.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro RemoveFiles
  ; The game's log, its level dump and the lock its saves take turns by.
  Delete "$INSTDIR\tr_debug.txt"
  Delete "$INSTDIR\ldlvldbg.txt"
  Delete "$INSTDIR\plyrsettings.dat.lock"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\TileRiot.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  RMDir "$INSTDIR"
  IfFileExists "$INSTDIR\*.*" 0 +3
    DetailPrint "Your high scores, saved games and level files are kept in $INSTDIR."
    MessageBox MB_OK|MB_ICONINFORMATION "Your high scores, saved games and level files are kept in $INSTDIR." /SD IDOK
SectionEnd
