; Framewright's installer: makensis -DSTAGE=<staged install> -DLISTS=<dir
; with install.nsh and uninstall.nsh> -DOUTFILE=<setup.exe> -DVERSION=<x.y>
; (the "installer" target of the Windows build runs it).
;
; Installs into Program Files, adds Start-menu entries and an entry in
; "Apps & features", and writes an uninstaller that removes exactly what was
; installed. Silent with /S, for both. The option "Convert new screenshots
; while I play" (off unless ticked, or /WATCH=1 in a silent install) starts
; the windowless watch, framewright-watch.exe, at each logon of the user who
; installs and right away.

; A 64-bit installer, like the programs it installs: it runs where they
; run, without the 32-bit subsystem (which Wine, too, may lack).
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "Framewright"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Framewright"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Framewright watch"
!define WATCH_MENU "Convert new screenshots while I play"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"
RequestExecutionLevel admin

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run Framewright"
!define MUI_FINISHPAGE_RUN_FUNCTION RunAsTheUser
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Starts a program as the user who ran the installer, not elevated: the
; shell's own process starts it, in the user's token. Started from the
; elevated installer, the window would find the game and store its settings
; in the administrator's registry, not the player's.
!macro StartAsTheUser program
  Exec '"$WINDIR\explorer.exe" "${program}"'
!macroend

Function RunAsTheUser
  !insertmacro StartAsTheUser "$INSTDIR\framewright.exe"
FunctionEnd


Function un.onInit
  SetRegView 64
FunctionEnd

Section "Framewright" SecMain
  SectionIn RO
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
  ; The size "Apps & features" shows, in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Off unless chosen: a program that starts with Windows is the user's call.
Section /o "${WATCH_MENU}" SecWatch
  ; The user's own logon, in the user's own registry: with no folder named,
  ; the watch follows the game the window finds, with its saved choices.
  SetShellVarContext current
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\framewright-watch.exe"'
  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Start converting while I play.lnk" "$INSTDIR\framewright-watch.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Stop converting while I play.lnk" "$INSTDIR\framewright-watch.exe" \
    "--stop"
  ; At once, as the logon entry will from the next logon on.
  !insertmacro StartAsTheUser "$INSTDIR\framewright-watch.exe"
SectionEnd

LangString DESC_SecMain ${LANG_ENGLISH} "Framewright, Kudoscope and framewright-convert."
LangString DESC_SecWatch ${LANG_ENGLISH} \
  "Converts each new screenshot of the game into a JPEG file while you play, with no window, from every logon on."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} $(DESC_SecMain)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecWatch} $(DESC_SecWatch)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; After the sections, whose numbers it uses.
Function .onInit
  SetRegView 64
  ; /WATCH=1 ticks the option, for a silent install.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/WATCH=" $R1
  ${IfNot} ${Errors}
  ${AndIf} $R1 == "1"
    !insertmacro SelectSection ${SecWatch}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; A running watch first: it holds the program's files open. It ends at a
  ; safe point, a screenshot being converted finished first.
  ExecWait '"$INSTDIR\framewright-watch.exe" --stop'
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  SetShellVarContext current
  Delete "$LOCALAPPDATA\${PRODUCT}\watch.log"
  Delete "$LOCALAPPDATA\${PRODUCT}\watch.log.old"
  RMDir "$LOCALAPPDATA\${PRODUCT}"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\Start converting while I play.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Stop converting while I play.lnk"
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
