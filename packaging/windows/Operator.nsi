; The Windows installer of the operator program (makensis, Debian's nsis package), one for each
; architecture. Installs for the current user only, into a folder that user can write
; (%LOCALAPPDATA%\Programs\Queue Operator): the program keeps its settings file beside itself
; and asks for no elevation. A Start-menu entry, an uninstaller listed among the user's
; installed programs that removes what was installed and leaves the settings file, and /S for
; silent roll-outs (NSIS's own). A newer version installs over an older one into the same
; folder and the same list entry, and keeps the settings file.
;
; /SERVER=URL and /WINDOW=N preset the desk: desk-preset.exe (unpacked into the installer's
; temporary folder, never installed) checks them before anything is installed (a bad value: its
; message, exit code 2, nothing written) and writes them into Operator.ini when there is none.
;
; makensis -DTARGET=amd64-unicode|x86-unicode -DVERSION=1.2.3.4 -DPROGRAM=path\Operator.exe
;          -DQGET=path\qget.exe -DPRESET=path\desk-preset.exe -DREADME=path\README.txt
;          -DICON=path\MAINICON.ico -DOUTFILE=path\setup.exe Operator.nsi

; amd64-unicode for the 64-bit program, so that it runs where no 32-bit layer is installed;
; x86-unicode (NSIS's default stub, which runs on every Windows) for the 32-bit one.
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Queue Operator"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QueueOperator"
!define SHORTCUT "$SMPROGRAMS\Operator.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; A folder chosen at an earlier install is offered again.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "The queue operator developers"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Operator.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"

!include "FileFunc.nsh"
!include "LogicLib.nsh"

Var PresetServer
Var PresetWindow

; Runs desk-preset.exe with the preset's values and `arguments`; a failure shows its message
; (a box, or only the exit code when silent) and ends the installer with `status`.
!macro RunDeskPreset arguments status
  nsExec::ExecToStack '"$PLUGINSDIR\desk-preset.exe" --server "$PresetServer" --window "$PresetWindow" ${arguments}'
  Pop $0
  Pop $1
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "$1" /SD IDOK
    SetErrorLevel ${status}
    Quit
  ${EndIf}
!macroend

; The value of the option $R1 ("/SERVER=", any letter case) in the parameters $R0, up to the
; next blank; empty when the option is not given. (GetOptions would cut an address at its
; first "/", the first character of the option's name.)
Function OptionValue
  StrLen $R3 $R1
  StrCpy $R4 0
  StrCpy $R2 ""
  find:
    StrCpy $R5 $R0 $R3 $R4
    StrCmp $R5 "" done
    StrCmp $R5 $R1 found
    IntOp $R4 $R4 + 1
    Goto find
  found:
    IntOp $R4 $R4 + $R3
    StrCpy $R2 $R0 "" $R4
    StrCpy $R6 0
  cut:
    StrCpy $R5 $R2 1 $R6
    StrCmp $R5 "" done
    StrCmp $R5 " " +3
    IntOp $R6 $R6 + 1
    Goto cut
    StrCpy $R2 $R2 $R6
  done:
FunctionEnd

Function .onInit
  SetShellVarContext current
  ${GetParameters} $R0
  StrCpy $R1 "/SERVER="
  Call OptionValue
  StrCpy $PresetServer $R2
  StrCpy $R1 "/WINDOW="
  Call OptionValue
  StrCpy $PresetWindow $R2
  ${If} "$PresetServer$PresetWindow" != ""
    InitPluginsDir
    File "/oname=$PLUGINSDIR\desk-preset.exe" "${PRESET}"
    !insertmacro RunDeskPreset "--check" 2
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Operator"
  SetOutPath "$INSTDIR"
  File "/oname=Operator.exe" "${PROGRAM}"
  File "/oname=qget.exe" "${QGET}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Operator.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The queue operator developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Operator.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The desk's own settings file, when there is one, is left as it is.
  ${If} "$PresetServer$PresetWindow" != ""
    !insertmacro RunDeskPreset '"$INSTDIR\Operator.ini"' 1
  ${EndIf}
SectionEnd

; Removes exactly what the installer put there. The settings file (Operator.ini) is the
; desk's: it stays, and with it the folder.
Section "Uninstall"
  Delete "$INSTDIR\Operator.exe"
  Delete "$INSTDIR\qget.exe"
  Delete "$INSTDIR\README.txt"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
