; The TileRiot installer: installs for the player alone, without administrator
; rights, into %LOCALAPPDATA%\Programs\TileRiot, with a Start menu shortcut
; that starts the game in its folder and an entry in Apps & features. The
; uninstaller takes out the program and its read-only files and keeps what the
; player made there: high scores, saved games, level files of their own. A
; level or the credits the player changed are kept by a reinstall, an upgrade
; and the uninstaller: the folder Originals holds what was installed, to
; compare with. Neither touches anything while the game runs; silent (/S),
; they then end with exit code 2.
; Made by packaging/windows/CMakeLists.txt:
;   makensis -DVERSION=x.y.z -DPUBLISHER=... -DICON=x.ico -DFILES=files.nsh
;            -DSTAND_IN=credits.txt -DOUTFILE=x.exe installer.nsi
; (STAND_IN: the credits the game writes when credits.txt is missing, which
; are not the player's own.)

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
; No file's time goes into the installer: the same sources make the same bytes.
SetDateSave off
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TileRiot"
; The game holds this mutex while it runs.
!define GAME_MUTEX "Local\TileRiot"

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

; Pushes 1 when the files at the two paths pushed before hold the same bytes,
; else 0 (also when either cannot be read).
!macro SameFilesFunction UN
Function ${UN}SameFiles
  Exch $1
  Exch
  Exch $0
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $6 0
  ClearErrors
  FileOpen $2 "$0" r
  ${IfNot} ${Errors}
    FileOpen $3 "$1" r
    ${IfNot} ${Errors}
      ${Do}
        FileReadByte $2 $4
        ${If} ${Errors}
          ClearErrors
          FileReadByte $3 $5
          ${If} ${Errors}
            StrCpy $6 1
          ${EndIf}
          ${Break}
        ${EndIf}
        FileReadByte $3 $5
        ${If} ${Errors}
        ${OrIf} $4 != $5
          ${Break}
        ${EndIf}
      ${Loop}
      FileClose $3
    ${EndIf}
    FileClose $2
  ${EndIf}
  ClearErrors
  StrCpy $0 $6
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro SameFilesFunction ""
!insertmacro SameFilesFunction "un."

; Waits while the game runs: the player closes it and chooses Retry, or
; Cancel, which ends here having changed nothing, as silent mode does at once.
!macro WaitForGameFunction UN
Function ${UN}WaitForGame
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${GAME_MUTEX}") p .r0'
    ${If} $0 P= 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} ${Silent}
      SetErrorLevel 2
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "TileRiot is running. Please close it, then choose Retry." IDRETRY again
    SetErrorLevel 2
    Quit
    again:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitForGameFunction ""
!insertmacro WaitForGameFunction "un."

Function .onInit
  Call WaitForGame
FunctionEnd

Function un.onInit
  Call un.WaitForGame
FunctionEnd

; Pushes 1 when the file $R0 is credits.txt holding the stand-in the game
; writes when it is missing, else 0: the player never wrote it.
!macro StandInFunction UN
Function ${UN}StandIn
  ${If} $R0 == "credits.txt"
    File "/oname=$PLUGINSDIR\stand-in.txt" "${STAND_IN}"
    Push "$INSTDIR\$R0"
    Push "$PLUGINSDIR\stand-in.txt"
    Call ${UN}SameFiles
  ${Else}
    Push 0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro StandInFunction ""
!insertmacro StandInFunction "un."

; A file the player may change ($R0, its new copy in $PLUGINSDIR) is put in
; place unless the one there differs from what was installed before (or,
; with no record of that, from the new copy) and is not the game's stand-in:
; then the player's stays.
Function InstallUnlessChanged
  ${If} ${FileExists} "$INSTDIR\$R0"
    StrCpy $R1 "$INSTDIR\Originals\$R0"
    ${IfNot} ${FileExists} $R1
      StrCpy $R1 "$PLUGINSDIR\$R0"
    ${EndIf}
    Push "$INSTDIR\$R0"
    Push $R1
    Call SameFiles
    Pop $R2
    ${If} $R2 == 0
      Call StandIn
      Pop $R2
    ${EndIf}
  ${Else}
    StrCpy $R2 1
  ${EndIf}
  ${If} $R2 == 1
    CopyFiles /SILENT "$PLUGINSDIR\$R0" "$INSTDIR"
  ${Else}
    DetailPrint "Kept your own $R0."
  ${EndIf}
  CreateDirectory "$INSTDIR\Originals"
  CopyFiles /SILENT "$PLUGINSDIR\$R0" "$INSTDIR\Originals"
  Delete "$PLUGINSDIR\$R0"
FunctionEnd

!macro InstallUnlessChanged NAME SOURCE
  File "/oname=$PLUGINSDIR\${NAME}" "${SOURCE}"
  StrCpy $R0 "${NAME}"
  Call InstallUnlessChanged
!macroend

; The file $R0 goes unless the player changed it.
Function un.RemoveUnlessChanged
  Push "$INSTDIR\$R0"
  Push "$INSTDIR\Originals\$R0"
  Call un.SameFiles
  Pop $R2
  ${If} $R2 == 0
    Call un.StandIn
    Pop $R2
  ${EndIf}
  ${If} $R2 == 1
    Delete "$INSTDIR\$R0"
  ${EndIf}
  Delete "$INSTDIR\Originals\$R0"
FunctionEnd

!macro RemoveUnlessChanged NAME
  StrCpy $R0 "${NAME}"
  Call un.RemoveUnlessChanged
!macroend

!include "${FILES}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetOutPath "$INSTDIR"
  InitPluginsDir
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The shortcut starts the game in the folder it was made in: $INSTDIR.
  CreateShortCut "$SMPROGRAMS\TileRiot.lnk" "$INSTDIR\tileriot.exe"
  CreateShortCut "$SMPROGRAMS\TileRiot Level Editor.lnk" "$INSTDIR\tileriot.exe" "--edit"
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
  InitPluginsDir
  !insertmacro RemoveFiles
  ; The game's log, its level dump and the lock its saves take turns by.
  Delete "$INSTDIR\tr_debug.txt"
  Delete "$INSTDIR\ldlvldbg.txt"
  Delete "$INSTDIR\plyrsettings.dat.lock"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\TileRiot.lnk"
  Delete "$SMPROGRAMS\TileRiot Level Editor.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  RMDir "$INSTDIR\Originals"
  RMDir "$INSTDIR"
  ; Whatever is left is the player's, and is named.
  StrCpy $R3 ""
  FindFirst $R4 $R5 "$INSTDIR\*.*"
  ${DoWhile} $R5 != ""
    ${If} $R5 != "."
    ${AndIf} $R5 != ".."
    ${AndIf} $R5 != "uninstall.exe"  ; itself, when run in place
      StrCpy $R3 "$R3$\r$\n    $R5"
    ${EndIf}
    FindNext $R4 $R5
  ${Loop}
  FindClose $R4
  ${If} $R3 != ""
    DetailPrint "Kept in $INSTDIR: $R3"
    MessageBox MB_OK|MB_ICONINFORMATION "These files of yours are kept in $INSTDIR:$R3" /SD IDOK
  ${EndIf}
SectionEnd
