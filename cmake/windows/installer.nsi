; Framewright's installer: makensis -DSTAGE=<staged install> -DLISTS=<dir
; with install.nsh and uninstall.nsh> -DOUTFILE=<setup.exe> -DVERSION=<x.y>
; (the "installer" target of the Windows build runs it).
;
; Installs into Program Files, adds Start-menu entries and an entry in
; "Apps & features", and writes an uninstaller that removes exactly what was
; installed. Silent with /S, for both.

Unicode true
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Framewright"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Framewright"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"
RequestExecutionLevel admin

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\framewright.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Framewright"
  !include "${LISTS}/install.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Framewright.lnk" "$INSTDIR\framewright.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Kudoscope.lnk" "$INSTDIR\kudoscope.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Uninstall Framewright.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "Software\${PRODUCT}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quenk"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\framewright.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\Framewright.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Kudoscope.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall Framewright.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  !include "${LISTS}/uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a folder the user chose keeps whatever else it holds.
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\${PRODUCT}"
  ; The settings the window stored for the user who uninstalls; the
  ; screenshots and JPEG files are theirs and stay.
  DeleteRegKey HKCU "Software\${PRODUCT}"
SectionEnd
