; The Windows installer of the operator program (makensis, Debian's nsis package).
; Installs for the current user only, into a folder that user can write
; (%LOCALAPPDATA%\Programs\Queue Operator): the program keeps its settings file beside itself
; and asks for no elevation. A Start-menu entry, an uninstaller listed among the user's
; installed programs that removes what was installed and leaves the settings file, and /S for
; silent roll-outs (NSIS's own).
;
; makensis -DVERSION=1.2.3.4 -DPROGRAM=path\Operator.exe -DREADME=path\README.txt
;          -DICON=path\MAINICON.ico -DOUTFILE=path\setup.exe Operator.nsi

; A 64-bit installer for the 64-bit program: it also runs where no 32-bit layer is installed.
Target amd64-unicode
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

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Operator"
  SetOutPath "$INSTDIR"
  File "/oname=Operator.exe" "${PROGRAM}"
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
SectionEnd

; Removes exactly what the installer put there. The settings file (Operator.ini) is the
; desk's: it stays, and with it the folder.
Section "Uninstall"
  Delete "$INSTDIR\Operator.exe"
  Delete "$INSTDIR\README.txt"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
