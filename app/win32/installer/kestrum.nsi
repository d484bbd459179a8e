; Per-user installer for the Windows player: no administrator rights, everything under the
; user's own program folder and HKCU. Built by the cross build (target kestrum_installer):
;   makensis -DPLAYER_EXE=<kestrum.exe> -DICON=<kestrum.ico> -DVERSION=<x.y.z> -DOUTFILE=<setup.exe> kestrum.nsi
; Silent use: setup.exe /S   and   Uninstall.exe /S

!ifndef PLAYER_EXE | ICON | VERSION | OUTFILE
  !error "PLAYER_EXE, ICON, VERSION and OUTFILE must be given with -D"
!endif

; A 64-bit installer for the 64-bit player: it also runs where no 32-bit layer exists.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Kestrum"
!define SCHEME_KEY "Software\Classes\kestrum"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrum"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Player"
  SetShellVarContext current
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "/oname=kestrum.exe" "${PLAYER_EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\kestrum.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestrum.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  SetRegView 64
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\kestrum.exe"
  ; A private browser runtime may have been put beside the player by hand; it goes with it.
  RMDir /r "$INSTDIR\WebView2Runtime"
  Delete "$INSTDIR\Uninstall.exe"
  ; Not recursive: whatever else the user keeps in this folder stays.
  RMDir "$INSTDIR"

  ; The player registers its link scheme for the user at each start.
  DeleteRegKey HKCU "${SCHEME_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
