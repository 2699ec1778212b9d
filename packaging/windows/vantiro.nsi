; The Windows installer: puts the programs into Program Files\Vantiro, adds Vantiro to the
; Start menu, registers an uninstaller with Windows (Settings > Apps, "Add or remove
; programs"), and the uninstaller takes away every file and key the installer made, itself
; included.
;
; Built by scripts/windows-package.sh, which passes:
;   VERSION        the project's version (1.0)
;   FILE_VERSION   the same in the four numbers of a file version (1.0.0.0)
;   STAGING_DIR    the folder the zip holds: the program files, and the example series in
;                  examples\
;   FILES_NSH      a generated file defining VANTIRO_FILES and VANTIRO_EXAMPLES, macros that
;                  apply a given macro to each program file packed and to each example
;   OUT_FILE       the installer to write
;   ICON           (when the build made it) the program's icon, worn by both

Unicode true
; A 64-bit installer: like the programs it starts on 64-bit Windows alone, and it sees the
; 64-bit Program Files and registry without redirection.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include WinVer.nsh
!include "${FILES_NSH}"

!define PRODUCT "Vantiro"
!define PUBLISHER "Brennix Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantiro"
!define UNINSTALLER "Uninstall Vantiro.exe"
!define SHORTCUT "$SMPROGRAMS\Vantiro.lnk"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Vantiro"
; A second install goes where the first one went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "2026 ${PUBLISHER}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "start Vantiro now" on the last page: it would start the dialog elevated, as the
; installer runs, with another user's settings and logs.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${AtLeastWin10}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs Windows 10 or later." /SD IDOK
    Abort
  ${EndIf}
  ; Installed for every user of the machine: the Start-menu entry goes to the common menu.
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

; A running Vantiro or VantiroCmdLine holds its program and the libraries it loaded (and the
; help viewer its manual): Windows neither replaces nor deletes them then. Rather than leave a
; half-updated or half-removed installation with files waiting for a restart, the installer
; and the uninstaller first ask for them to be closed, and change nothing when they are not
; (a silent run then ends with exit code 2).
!macro NOTE_IF_IN_USE name
  ${If} $R0 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${name}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${name}" a
    ${If} ${Errors}
      StrCpy $R0 "${name}"
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
!macroend

!macro DEFINE_WAIT_UNTIL_CLOSED prefix
  Function ${prefix}WaitUntilClosed
    retry:
    StrCpy $R0 ""
    !insertmacro VANTIRO_FILES NOTE_IF_IN_USE
    ${If} $R0 != ""
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "$INSTDIR\$R0 is in use.$\r$\n$\r$\nClose Vantiro and VantiroCmdLine, then click Retry." \
        /SD IDCANCEL IDRETRY retry
      Abort
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DEFINE_WAIT_UNTIL_CLOSED ""
!insertmacro DEFINE_WAIT_UNTIL_CLOSED "un."

!macro INSTALL_FILE name
  File "${STAGING_DIR}/${name}"
!macroend

!macro INSTALL_EXAMPLE name
  File "${STAGING_DIR}/examples/${name}"
!macroend

!macro REMOVE_FILE name
  Delete /REBOOTOK "$INSTDIR\${name}"
!macroend

!macro REMOVE_EXAMPLE name
  Delete /REBOOTOK "$INSTDIR\examples\${name}"
!macroend

Section "Vantiro"
  Call WaitUntilClosed
  SetOutPath "$INSTDIR"
  !insertmacro VANTIRO_FILES INSTALL_FILE
  SetOutPath "$INSTDIR\examples"
  !insertmacro VANTIRO_EXAMPLES INSTALL_EXAMPLE
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Vantiro.exe" "" "$INSTDIR\Vantiro.exe" 0 \
    SW_SHOWNORMAL "" "Learn a numeric time series with a small neural network"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantiro.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Settings > Apps shows the size: the installed files in KiB.
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.WaitUntilClosed
  ; Only what the installer put there, and the logs the programs append beside the manual when
  ; this directory is writable to them: a file of the user's own in it keeps the directory.
  !insertmacro VANTIRO_FILES REMOVE_FILE
  Delete /REBOOTOK "$INSTDIR\cmdapp.log"
  Delete /REBOOTOK "$INSTDIR\guiapp.log"
  !insertmacro VANTIRO_EXAMPLES REMOVE_EXAMPLE
  RMDir /REBOOTOK "$INSTDIR\examples"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The uninstaller runs from a copy in the temporary directory, so it can delete itself.
  Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION \
      "Some files of Vantiro were in use: Windows removes them when it restarts." /SD IDOK
  ${EndIf}
SectionEnd
